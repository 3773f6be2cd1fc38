// A main window over a temporary program folder, the scripted user-interface double and a
// fresh case store. FormShow runs without a real screen (off-screen platform).
#pragma once
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tests/platform/QtTestApp.h"
#include "records/Database.h"
#include "platform/core/Gbk.h"
#include "platform/core/IniFile.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestData.h"
#include "app/Untmain.h"

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testqt::app();
        folder = testdata::freshTempDir("app");
        std::filesystem::create_directories(folder + "dat");
    }
    void TearDown() override {
        window.reset();
        db.reset();
    }

    std::string settingsPath() const { return folder + "dat/zxinit.ini"; }
    // Writes GBK text into a file of the program folder.
    void writeFile(const std::string& relative, const std::string& utf8) {
        std::filesystem::create_directories(std::filesystem::path(folder + relative).parent_path());
        std::ofstream out(folder + relative, std::ios::binary | std::ios::trunc);
        out << gbk::fromUtf8(utf8);
    }
    void writePlaces() {
        writeFile("dat/dili.ini",
                  "[福建省]\n福州市=119:18*26:5\n厦门市=118:5*24:29\n泉州市=118:36*24:56\n"
                  "[北京市]\n北京=116:24*39:54\n");
    }
    TFrmMain& start() {
        db = std::make_unique<MDataBase>();
        window = std::make_unique<TFrmMain>(ui, *db, folder);
        window->FormShow();
        return *window;
    }
    void closeWithYes() {
        ui.answerYes("确定要关闭软件吗？");
        EXPECT_TRUE(window->FormClose());
    }
    void restart() {
        window.reset();
        db.reset();
        start();
    }
    template <class T>
    T* control(const char* name) {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QAction* action(const char* name) {
        QAction* a = window->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    std::vector<std::string> items(const char* comboName) {
        std::vector<std::string> out;
        if (auto* c = control<QComboBox>(comboName))
            for (int i = 0; i < c->count(); ++i) out.push_back(c->itemText(i).toStdString());
        return out;
    }

    std::string folder;
    testui::ScriptedUi ui;
    std::unique_ptr<MDataBase> db;
    std::unique_ptr<TFrmMain> window;
};
