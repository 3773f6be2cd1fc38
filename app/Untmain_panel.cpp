// The input panel's handlers and the natal command "本命盘"; the panel itself (controls, lists,
// checks) is InputPanel.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "app/InputPanel.h"
#include "app/Untmain.h"
#include "platform/qt/UpDown.h"

void TFrmMain::connectPanel() {
    auto hook = [this](auto* sender, auto signal, void (TFrmMain::*slot)()) {
        connect(sender, signal, this, [this, slot] { guarded([&] { (this->*slot)(); }); });
    };
    InputPanel& p = *panel_;
    hook(p.BtoNew, &QPushButton::clicked, &TFrmMain::BtoNewClick);
    hook(p.SbtoNow, &QToolButton::clicked, &TFrmMain::SbtoNowClick);
    hook(p.UpDyear, &TUpDown::arrowPressed, &TFrmMain::UpDyearClick);
    hook(p.cbodiZ, &QComboBox::activated, &TFrmMain::cbodiZClick);
    hook(p.cbodiC, &QComboBox::activated, &TFrmMain::cbodiCClick);
    hook(p.SpeedButton1, &QToolButton::clicked, &TFrmMain::SpeedButton1Click);
    hook(p.SbtoSave, &QToolButton::clicked, &TFrmMain::SbtoSaveClick);
    hook(p.SbtoZw_liu, &QToolButton::clicked, &TFrmMain::SbtoZw_liuClick);
    hook(p.Btnpai, &QPushButton::clicked, &TFrmMain::BtnpaiClick);
    connect(p.EdtCity, &QLineEdit::textChanged, this, [this] { guarded([&] { panel_->citySearchEdited(); }); });
    connect(p.CboCity, &QComboBox::activated, this, [this] { guarded([&] { panel_->citySearchPicked(); }); });
}

const std::vector<float>& TFrmMain::cityLongitudes() const { return panel_->cityLongitudes(); }
const std::vector<float>& TFrmMain::cityLatitudes() const { return panel_->cityLatitudes(); }

void TFrmMain::SbtoNowClick() { panel_->setNow(ui_.clock().now()); }
void TFrmMain::UpDyearClick() { panel_->yearArrowsMoved(ui_); }
void TFrmMain::cbodiZClick() { panel_->provinceChosen(); }
void TFrmMain::cbodiCClick() { panel_->cityChosen(); }
void TFrmMain::SpeedButton1Click() { panel_->searchCity(ui_, script_.get()); }
void TFrmMain::setMoment(const PanelMoment& moment) { panel_->setMoment(moment); }

void TFrmMain::BtnpaiClick() {
    natalCast_ = false;
    if (!panel_->readRequest(ui_, birth_)) return;
    const BirthRecord& r = birth_;
    // The working case record, before the engine runs and whatever its result.
    currentCase_.setName(r.name);
    currentCase_.year = r.birth.year;
    currentCase_.month = r.birth.month;
    currentCase_.day = r.birth.day;
    currentCase_.hour = r.birth.hour;
    currentCase_.minute = r.birth.minute;
    currentCase_.lunar = r.lunar;
    currentCase_.leap = r.leapMonth;
    currentCase_.male = r.male;
    currentCase_.province = r.provinceIndex;
    currentCase_.city = r.cityIndex;
    currentCase_.zone = r.zoneIndex;
    currentCase_.longitude = r.longitude;
    currentCase_.latitude = r.latitude;
    currentCase_.blood = r.bloodType;
    panel_->storeWorldFields(r, currentCase_);
    panel_->showCast(r);

    std::string error;
    if (!castCase(birth_, error) && engine_)
        ui_.messageBox(error, "错误", MsgIcon::Error, MsgButtons::Ok);
}
