#include "cli/ChartRun.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "chart/ChartSettings.h"
#include "chart/Zhanxing.h"
#include "platform/core/IniFile.h"

namespace fs = std::filesystem;

namespace cli {

std::string programFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    return exe.parent_path().string() + "/";
}

TempFolder::~TempFolder() {
    std::error_code ec;
    if (!path.empty()) fs::remove_all(path, ec);
}

std::string privateSettingsFolder(const ChartSettings& settings, TempFolder& temp) {
    char tmpl[] = "/tmp/tarmin-chart-XXXXXX";
    if (!mkdtemp(tmpl)) return std::string();
    temp.path = tmpl;
    fs::create_directories(temp.path / "dat");
    IniFile ini((temp.path / "dat/set.ini").string());
    settings.save(ini);
    return temp.path.string() + "/";
}

void ensureGuiApplication(std::unique_ptr<QGuiApplication>& app) {
    if (QCoreApplication::instance()) return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        // A private runtime folder keeps Qt from warning about the missing variable.
        const fs::path dir = fs::temp_directory_path() / ("runtime-" + std::to_string(getuid()));
        std::error_code ec;
        fs::create_directories(dir, ec);
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace, ec);
        if (!ec) qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir.string()));
    }
    static int argc = 1;
    static char name[] = "tarmin-cli";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
}

void printPoints(const NatalPoints& p) {
    auto angle = [](const char* name, const ChartPoint& c) {
        const int deg = static_cast<int>(c.degreesInSign);
        const int min = static_cast<int>((c.degreesInSign - static_cast<float>(deg)) * 60);
        std::printf("%s\t%.6f\t%s\t%02d:%02d\n", name, c.longitude, SignNames[c.sign % 12], deg,
                    min);
    };
    angle("ASC", p.asc);
    angle("MC", p.mc);
    for (int i = 0; i < 12; ++i) std::printf("cusp %d\t%.6f\n", i + 1, p.cusps[i]);
    for (int i = 0; i < 12; ++i) {
        const ChartPoint& b = p.bodies[i];
        std::printf("%d\t%s\t%.6f\t%.6f\t%s\t%d\t%.4f\t%d\n", i, BodyNames[i], b.longitude,
                    b.latitude, SignNames[b.sign % 12], b.house + 1, b.pastCusp, b.motion);
    }
}

}  // namespace cli
