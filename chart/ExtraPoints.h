// Further chart points, each shown only when the chart settings ask for it: the true lunar node,
// the mean Black Moon Lilith (the mean lunar apogee) and the Part of Fortune. Degrees, longitudes
// of the ecliptic of date in [0, 360); T in Julian centuries from J2000.0.
#pragma once

// True ascending node: the node of the Moon's osculating orbit, from the program's lunar
// series (position and velocity), nutation in longitude added.
double trueNodeLongitude(double T);
// Mean lunar apogee: the Moon's mean longitude less its mean anomaly, plus 180° (the
// polynomials of Meeus, Astronomical Algorithms, ch. 47) taken from the mean orbit onto the
// ecliptic, nutation in longitude added.
double meanLilithLongitude(double T);
// Daily motions of the two, degrees per day (for applying and separating aspects).
double trueNodeSpeed(double T);
double meanLilithSpeed(double T);

// A day chart has the Sun above the horizon: in the half of the ecliptic from the descendant
// through the midheaven to the ascendant.
bool isDayChart(double ascendant, double sun);
// Part of Fortune: ascendant + Moon - Sun by day, ascendant + Sun - Moon by night.
double partOfFortune(double ascendant, double sun, double moon);
