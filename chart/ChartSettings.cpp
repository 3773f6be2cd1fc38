#include "chart/ChartSettings.h"

#include "platform/core/IniFile.h"

namespace {
constexpr const char* kSection = "pan";
}

ChartSettings ChartSettings::load(const IniFile& file) {
    ChartSettings s;
    s.orb = file.readInteger(kSection, "pos", s.orb);
    s.signLines = file.readInteger(kSection, "line", s.signLines);
    s.backgroundColor = file.readInteger(kSection, "bkcolor", s.backgroundColor);
    return s;
}

void ChartSettings::save(IniFile& file) const {
    IniUpdate update(file);  // every key in one rewrite: a kill leaves all of them or none
    file.writeInteger(kSection, "pos", orb);
    file.writeInteger(kSection, "bkcolor", backgroundColor);
    file.writeInteger(kSection, "line", signLines);
    update.commit();
}

std::string chartSettingsPath(const std::string& programFolder) {
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + "dat/set.ini";
}
