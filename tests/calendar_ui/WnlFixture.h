// The perpetual calendar window over the scripted user-interface double, a recording canvas for
// its grid and a fake input panel that records what the window hands it.
#pragma once
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <memory>
#include <string>
#include <vector>

#include "calendar/ui/Untwnl.h"
#include "tests/platform/QtTestApp.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/ScriptedUi.h"

class FakeNatalInput : public NatalInput {
public:
    void setMoment(const PanelMoment& m) override {
        moments.push_back(m);
        calls.push_back("setMoment");
    }
    void runNatalCommand() override { calls.push_back("runNatalCommand"); }
    std::vector<PanelMoment> moments;
    std::vector<std::string> calls;
};

class WnlTest : public ::testing::Test {
protected:
    static constexpr int kCellW = 64;
    static constexpr int kCellH = 47;

    void SetUp() override {
        testqt::app();
        window = std::make_unique<TFrmWnl>(ui, calendar(), natal);
        window->setGridCanvas(&canvas);
    }
    static MYiDateEx& calendar() {
        static MYiDateEx c;  // unpacking the corrections once serves every test
        return c;
    }
    void show(int year, int month, int day, int hour = 12, int minute = 0) {
        canvas.clearOps();
        window->showDate({static_cast<int16_t>(year), static_cast<int16_t>(month),
                          static_cast<int16_t>(day), static_cast<int16_t>(hour),
                          static_cast<int16_t>(minute)});
    }
    // Enter typed in the year box.
    void enterYear(const char* text) {
        window->EdtYear->setText(QString::fromUtf8(text));
        emit window->EdtYear->editingFinished();
    }
    // A left click in the middle of the grid cell of day index i (0 = day 1).
    void clickCell(int i) {
        const int cell = window->firstColumn() + i + 7;
        window->Img1MouseDown(Qt::LeftButton, (cell % 7) * kCellW + kCellW / 2,
                              (cell / 7) * kCellH + kCellH / 2);
    }
    std::string yearBox() const { return window->EdtYear->text().toStdString(); }
    // The text drawn at the top of the cell that starts with `top`, and the one below it.
    const RecordingCanvas::Op* text(const std::string& prefix) const { return canvas.findText(prefix); }

    testui::ScriptedUi ui;
    FakeNatalInput natal;
    RecordingCanvas canvas{450, 330};
    std::unique_ptr<TFrmWnl> window;
};
