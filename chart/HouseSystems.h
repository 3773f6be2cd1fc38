// House systems other than the chart's default Placidus: Koch, Equal (from the ascendant), Whole
// Sign, Porphyry, Regiomontanus and Campanus, as pure functions of the sidereal frame. Degrees
// throughout; cusp n is at index n - 1, longitudes in [0, 360).
#pragma once
#include <array>

enum class HouseSystem : char {
    Placidus = 'P',
    Koch = 'K',
    Equal = 'E',
    WholeSign = 'W',
    Porphyry = 'O',
    Regiomontanus = 'R',
    Campanus = 'C',
};

inline constexpr std::array<HouseSystem, 7> AllHouseSystems = {
    HouseSystem::Placidus, HouseSystem::Koch,          HouseSystem::Equal,
    HouseSystem::WholeSign, HouseSystem::Porphyry,     HouseSystem::Regiomontanus,
    HouseSystem::Campanus};

// The system of a letter (P K E W O R C, either case); false for any other.
bool houseSystemFromLetter(char letter, HouseSystem& out);
// Chinese name for the settings dialog, e.g. "普拉西度" for Placidus (the house system
// itself is written 普拉西度制).
const char* houseSystemName(HouseSystem s);

// The local frame: RAMC, obliquity and geographic latitude, and the two angles the cusps are
// tied to. houseFrame fills the angles from the first three; a chart may put in its own.
struct HouseFrame {
    double ramc = 0;
    double obliquity = 23.44;
    double latitude = 0;
    double asc = 0;
    double mc = 0;
};
HouseFrame houseFrame(double ramc, double obliquity, double latitude);

// Cusps of a system other than Placidus (Placidus answers the Porphyry cusps here: the chart
// keeps its own Placidus). Cusps 1, 4, 7, 10 of the quadrant systems are the frame's angles
// (the ascendant taken in the half after the MC). Koch has no cusps inside the polar circles,
// nor Regiomontanus and Campanus where their cusps there fall out of order: Porphyry stands in
// and `fellBack` is set.
std::array<double, 12> houseCusps(HouseSystem s, const HouseFrame& f, bool* fellBack = nullptr);
