// TFrmSetPan "排盘设置": the chart settings of dat/set.ini (aspect orb, sign boundary lines,
// background colour, and the chart options: precise calculation, house system, orbs per aspect,
// minor aspects, further points). Reads them on opening, writes them only on "确认"; the main
// window then draws the chart on screen again with them.
#pragma once
#include <QDialog>
#include <memory>
#include <string>

#include "platform/core/Canvas.h"
#include "platform/core/UiServices.h"

class IniFile;
struct ChartSettings;
class QCheckBox;
class QComboBox;
class QVBoxLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TUpDown;

class TFrmSetPan : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    // programFolder: where dat/ lives (ends in "/"). `ui` must outlive the dialog.
    TFrmSetPan(UiServices& ui, const std::string& programFolder, QWidget* parent = nullptr);
    ~TFrmSetPan() override;

    std::string modalTitle() const override { return windowTitle().toStdString(); }
    bool execModal() override { return exec() == QDialog::Accepted; }

    // Handlers.
    void Button1Click();  // "设置": the colour dialog
    void Button2Click();  // "默认值": orb 5, white, no lines, the options off; nothing written
    // "确认": writes pos, bkcolor, line and closes accepted. A failed write is shown and the
    // dialog stays open.
    void BitBtn2Click();
    void FormClose();  // releases the settings file

    Rgb swatchColor() const { return color_; }
    // The orb in the field, 1..10; 0 while the field holds no such number.
    int orb() const;

    // Controls (owned by the dialog).
    QGroupBox* GroupBox1 = nullptr;  // the frame "背景色" around the swatch and "设置"
    QLabel* LabColor = nullptr;
    QPushButton* Button1 = nullptr;  // "设置": the background colour
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;  // the aspect orb in degrees, 1..10
    TUpDown* UDownPos = nullptr;
    QCheckBox* ChkLine = nullptr;
    // Chart options (Untsetpan_options.cpp).
    QCheckBox* ChkPrecise = nullptr;
    QGroupBox* GrpOptions = nullptr;
    QComboBox* CbxHouses = nullptr;
    QComboBox* CbxOrbs[5] = {};  // conjunction, sextile, square, trine, opposition
    QCheckBox* ChkMinor = nullptr;
    QComboBox* CbxMinorOrb = nullptr;
    QCheckBox* ChkTrueNode = nullptr;
    QCheckBox* ChkLilith = nullptr;
    QCheckBox* ChkFortune = nullptr;
    // Progressed angles (推运角度): solar arc, Naibod, quotidian.
    QGroupBox* GrpProgAngles = nullptr;
    QComboBox* CbxProgAngles = nullptr;
    // Further bodies (Untsetpan_bodies.cpp): the groups "小行星" and "恒星".
    QGroupBox* GrpAsteroids = nullptr;
    QCheckBox* ChkAsteroids[5] = {};  // 凯龙星, 谷神星, 智神星, 婚神星, 灶神星
    QGroupBox* GrpStars = nullptr;
    QCheckBox* ChkStars = nullptr;
    QComboBox* CbxStarOrb = nullptr;  // 0.5° .. 5°
    QCheckBox* ChkStarMarks = nullptr;
    QPushButton* Button2 = nullptr;  // "默认值"
    QPushButton* BitBtn2 = nullptr;  // "确认"
    QPushButton* BitBtn1 = nullptr;  // "取消"

    void done(int result) override;

private:
    void build();
    void FormCreate(const std::string& programFolder);
    void setOrb(int orb);
    void setSwatch(Rgb color);
    void buildOptions(QVBoxLayout* col);
    void showOptions(const ChartSettings& s);
    void takeOptions(ChartSettings& s) const;
    void buildBodies(QVBoxLayout* col);
    void showBodies(const ChartSettings& s);
    void takeBodies(ChartSettings& s) const;

    UiServices& ui_;
    std::unique_ptr<IniFile> file_;
    Rgb color_{255, 255, 255};
};
