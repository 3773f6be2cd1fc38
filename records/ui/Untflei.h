// TFrmFenLei "分类保存": the category of a case saved for the first time. Offers the category
// list of the settings file; any text may be typed (at most 13 GBK bytes).
#pragma once
#include <QDialog>
#include <string>

#include "platform/core/UiServices.h"

class IniFile;
class QComboBox;
class QLabel;
class QPushButton;

class TFrmFenLei : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    // `settings` may be null (no list offered). Messages go through `ui`.
    TFrmFenLei(UiServices& ui, const IniFile* settings, QWidget* parent = nullptr);

    // The chosen category: the text trimmed of blanks.
    std::string category() const;

    // "确定": an empty category is refused with a message and the dialog stays open.
    void BtnokClick();
    void BtnnoClick() { reject(); }

    std::string modalTitle() const override;
    bool execModal() override { return exec() == QDialog::Accepted; }

    QLabel* Label1 = nullptr;
    QComboBox* CboFenLei = nullptr;
    QPushButton* Btnok = nullptr;
    QPushButton* Btnno = nullptr;

private:
    UiServices& ui_;
};
