// One QApplication for the whole test program, created on first use with the off-screen platform
// unless the environment already chose one. It is destroyed when the test run ends, before the
// program's static objects: Qt's own globals must outlive it.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

namespace testqt {
class AppEnvironment : public ::testing::Environment {
public:
    void TearDown() override { app.reset(); }
    std::unique_ptr<QApplication> app;
};

inline QApplication& app() {
    static int argc = 1;
    static char name[] = "tests";
    static char* argv[] = {name, nullptr};
    static AppEnvironment* env = [] {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        auto* e = new AppEnvironment;  // owned by the test framework
        ::testing::AddGlobalTestEnvironment(e);
        e->app = std::make_unique<QApplication>(argc, argv);
        return e;
    }();
    return *env->app;
}
}  // namespace testqt
