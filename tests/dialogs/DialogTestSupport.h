// What the dialog tests share: the Qt application, a scratch program folder with dat/, reading
// its files back, and the frame every dialog must have.
#pragma once
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/core/Gbk.h"
#include "platform/qt/UpDown.h"
#include "tests/platform/QtTestApp.h"
#include "tests/support/TestData.h"

namespace dialogtest {

inline std::string programFolder(const char* tag) {
    testqt::app();
    const std::string folder = testdata::freshTempDir(tag);
    std::filesystem::create_directories(folder + "dat");
    return folder;
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeUtf8AsGbk(const std::string& path, const std::string& utf8) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << gbk::fromUtf8(utf8);
}

// Title, fixed size, centred on the screen, the "宋体" face at its size, and a name for every
// control a screen reader or the end-to-end robot has to find (buttons with a caption are found
// by it).
inline void expectFrame(QDialog& d, const char* title, double points) {
    EXPECT_EQ(d.windowTitle().toStdString(), title);
    EXPECT_EQ(d.minimumSize(), d.maximumSize()) << title << " is not fixed-size";
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QPoint c = s->availableGeometry().center(), mine = d.geometry().center();
        EXPECT_LE((c - mine).manhattanLength(), 2) << title << " is not centred";
    }
    EXPECT_EQ(d.font().family().toStdString(), "宋体");
    EXPECT_DOUBLE_EQ(d.font().pointSizeF(), points);
    for (QWidget* w : d.findChildren<QWidget*>()) {
        const bool captioned = qobject_cast<QAbstractButton*>(w) &&
                               !qobject_cast<QAbstractButton*>(w)->text().isEmpty();
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
                             qobject_cast<TUpDown*>(w) || qobject_cast<QGroupBox*>(w);
        if (!control || captioned) continue;
        // A combo box's own line edit and list are Qt's, named through the box.
        if (qobject_cast<QComboBox*>(w->parentWidget())) continue;
        EXPECT_FALSE(w->accessibleName().isEmpty())
            << title << ": " << w->metaObject()->className() << " " << w->objectName().toStdString()
            << " has no accessible name";
    }
}

}  // namespace dialogtest
