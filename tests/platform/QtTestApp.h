// One QApplication for the whole test program, created on first use with the off-screen platform
// unless the environment already chose one.
#pragma once
#include <QApplication>
#include <cstdlib>
#include <memory>

namespace testqt {
inline QApplication& app() {
    static int argc = 1;
    static char name[] = "tests";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> instance = [] {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *instance;
}
}  // namespace testqt
