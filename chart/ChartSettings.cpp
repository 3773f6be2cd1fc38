#include "chart/ChartSettings.h"

#include <cctype>

#include "chart/HouseSystems.h"
#include "platform/core/IniFile.h"

namespace {
constexpr const char* kSection = "pan";
constexpr std::array<const char*, 5> kAsteroidKeys = {"chiron", "ceres", "pallas", "juno", "vesta"};
constexpr std::array<const char*, 5> kMajorOrbKeys = {"orbcon", "orbsex", "orbsqu", "orbtri",
                                                      "orbopp"};

// Key names match regardless of ASCII case, as the file's reader matches them.
bool hasKey(const IniFile& file, const char* key) {
    const std::string want = key;
    for (const std::string& k : file.readSection(kSection)) {
        if (k.size() != want.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < k.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(k[i])) ==
                   std::tolower(static_cast<unsigned char>(want[i]));
        if (same) return true;
    }
    return false;
}

// Writes a value that differs from its default; removes the key of one back at its default,
// and leaves a file without the key untouched.
void writeOption(IniFile& file, const char* key, int32_t value, int32_t def) {
    if (value != def) {
        file.writeInteger(kSection, key, value);
        return;
    }
    if (hasKey(file, key)) file.deleteKey(kSection, key);
}
}  // namespace

ChartSettings ChartSettings::load(const IniFile& file) {
    ChartSettings s;
    s.orb = file.readInteger(kSection, "pos", s.orb);
    s.signLines = file.readInteger(kSection, "line", s.signLines);
    s.backgroundColor = file.readInteger(kSection, "bkcolor", s.backgroundColor);
    s.precise = file.readInteger(kSection, "precise", 0) != 0;
    const std::string houses = file.readString(kSection, "houses", "P");
    HouseSystem system = HouseSystem::Placidus;
    if (houses.size() == 1 && houseSystemFromLetter(houses[0], system))
        s.houseSystem = static_cast<char>(system);
    for (std::size_t k = 0; k < kMajorOrbKeys.size(); ++k) {
        const int32_t v = file.readInteger(kSection, kMajorOrbKeys[k], 0);
        s.majorOrbs[k] = v > 0 && v <= 30 ? v : 0;
    }
    s.minorAspects = file.readInteger(kSection, "minor", 0) != 0;
    const int32_t minorOrb = file.readInteger(kSection, "minororb", s.minorOrb);
    if (minorOrb > 0 && minorOrb <= 30) s.minorOrb = minorOrb;
    s.trueNode = file.readInteger(kSection, "truenode", 0) != 0;
    s.lilith = file.readInteger(kSection, "lilith", 0) != 0;
    s.fortune = file.readInteger(kSection, "fortune", 0) != 0;
    const int32_t angles = file.readInteger(kSection, "progangles", s.progressedAngles);
    if (angles >= kSolarArcAngles && angles <= kQuotidianAngles) s.progressedAngles = angles;
    for (std::size_t b = 0; b < kAsteroidKeys.size(); ++b)
        s.asteroids[b] = file.readInteger(kSection, kAsteroidKeys[b], 0) != 0;
    s.fixedStars = file.readInteger(kSection, "stars", 0) != 0;
    const int32_t starOrb = file.readInteger(kSection, "starorb", s.starOrb);
    if (starOrb > 0 && starOrb <= 600) s.starOrb = starOrb;
    s.starMarks = file.readInteger(kSection, "starmarks", 0) != 0;
    return s;
}

AspectOrbs ChartSettings::aspectOrbs() const {
    AspectOrbs o = AspectOrbs::uniform(orb);
    for (std::size_t k = 0; k < majorOrbs.size(); ++k)
        if (majorOrbs[k] > 0) o.orb[k] = majorOrbs[k];
    o.minor = minorAspects;
    for (std::size_t k = 5; k < o.orb.size(); ++k) o.orb[k] = minorOrb;
    return o;
}

void ChartSettings::save(IniFile& file) const {
    IniUpdate update(file);  // every key in one rewrite: a kill leaves all of them or none
    file.writeInteger(kSection, "pos", orb);
    file.writeInteger(kSection, "bkcolor", backgroundColor);
    file.writeInteger(kSection, "line", signLines);
    saveOptions(file);
    update.commit();
}

void ChartSettings::saveOptions(IniFile& file) const {
    const ChartSettings d;
    writeOption(file, "precise", precise, d.precise);
    if (houseSystem != d.houseSystem) {
        file.writeString(kSection, "houses", std::string(1, houseSystem));
    } else if (hasKey(file, "houses")) {
        file.deleteKey(kSection, "houses");
    }
    for (std::size_t k = 0; k < kMajorOrbKeys.size(); ++k)
        writeOption(file, kMajorOrbKeys[k], majorOrbs[k], 0);
    writeOption(file, "minor", minorAspects, d.minorAspects);
    writeOption(file, "minororb", minorOrb, d.minorOrb);
    writeOption(file, "truenode", trueNode, d.trueNode);
    writeOption(file, "lilith", lilith, d.lilith);
    writeOption(file, "fortune", fortune, d.fortune);
    writeOption(file, "progangles", progressedAngles, d.progressedAngles);
    for (std::size_t b = 0; b < kAsteroidKeys.size(); ++b)
        writeOption(file, kAsteroidKeys[b], asteroids[b], false);
    writeOption(file, "stars", fixedStars, d.fixedStars);
    writeOption(file, "starorb", starOrb, d.starOrb);
    writeOption(file, "starmarks", starMarks, d.starMarks);
}

std::string chartSettingsPath(const std::string& programFolder) {
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + "dat/set.ini";
}
