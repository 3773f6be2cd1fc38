// Solar and lunar eclipses at a lunation, classified from the geometry of the Sun, the Moon and
// the Earth's shadow at greatest eclipse.
//
// Solar: gamma is the least distance of the shadow's axis from the Earth's centre in equatorial
// Earth radii; u and l1 the radii of the umbral and penumbral cones in the plane through the
// Earth's centre perpendicular to the axis (u < 0: the umbra's tip lies beyond that plane).
// Central when gamma < 0.9972 (the flattened Earth's mean limb): total for u < 0; hybrid when the
// tip reaches the surface nearest the Moon, sqrt(1 - gamma^2) radii closer, though not the plane;
// annular otherwise. A shadow axis just missing the Earth gives a non-central total or annular
// eclipse, a penumbra alone a partial one.
// Lunar: the Moon's least distance from the centre of the shadow against the umbral and
// penumbral radii at its distance, the Earth's radius enlarged by 1/85 for the atmosphere.
#pragma once

namespace forecast {

enum class EclipseKind : int { None = 0, Total, Annular, Hybrid, Partial, Penumbral };

struct Eclipse {
    EclipseKind kind = EclipseKind::None;
    double jd = 0;          // UT of greatest eclipse
    double gamma = 0;       // solar: as above; lunar: Moon-shadow distance in Earth radii at the Moon
    double magnitude = 0;   // solar: u; lunar: umbral magnitude
};

// The eclipse of the Sun near the new moon at jdNewMoon (UT), kind None when there is none.
Eclipse solarEclipseAt(double jdNewMoon);
// The eclipse of the Moon near the full moon at jdFullMoon (UT).
Eclipse lunarEclipseAt(double jdFullMoon);
// "全食", "环食", "全环食", "偏食", "半影食".
const char* eclipseKindName(EclipseKind k);

}  // namespace forecast
