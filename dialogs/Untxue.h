// TFrmXue "血型测试": two ABO types and one of three questions — character ("性格"),
// transfusion ("配血"), inheritance ("遗传") — answered in the text box at every change.
#pragma once
#include <QDialog>

#include "platform/core/UiServices.h"

class QButtonGroup;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;

class TFrmXue : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    explicit TFrmXue(QWidget* parent = nullptr);

    std::string modalTitle() const override { return windowTitle().toStdString(); }
    bool execModal() override { return exec() == QDialog::Accepted; }

    // Handlers: the three choices only run the check.
    void BtnCheckClick();
    void RdoStyleClick() { BtnCheckClick(); }
    void RdoOneClick() { BtnCheckClick(); }
    void RdoTowClick() { BtnCheckClick(); }

    // Selected indexes: mode 0 性格, 1 配血, 2 遗传; types 0 A, 1 B, 2 AB, 3 O.
    int styleIndex() const;
    int oneIndex() const;
    int towIndex() const;
    void select(int style, int one, int tow);  // as the user would click them

    // Controls (owned by the dialog). The groups' buttons are their buttons in item order.
    QGroupBox* RdoStyle = nullptr;
    QGroupBox* RdoOne = nullptr;
    QGroupBox* RdoTow = nullptr;
    QButtonGroup* styleButtons = nullptr;
    QButtonGroup* oneButtons = nullptr;
    QButtonGroup* towButtons = nullptr;
    QPlainTextEdit* Memo1 = nullptr;  // the answer "检测结果"
    QPushButton* BtnCheck = nullptr;

private:
    void build();
    void setCaption(QGroupBox* group, const std::string& caption);
};
