// TFrmFenLei "分类保存": the category of a case saved for the first time. Offers the categories
// the record tree shows, none chosen; any text may be typed (at most 13 GBK bytes, characters
// GBK holds).
#pragma once
#include <QDialog>
#include <string>
#include <vector>

#include "platform/core/UiServices.h"

class IniFile;
class QComboBox;
class QLabel;
class QPushButton;

class TFrmFenLei : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    // Messages go through `ui`.
    TFrmFenLei(UiServices& ui, const std::vector<std::string>& categories, QWidget* parent = nullptr);

    // The chosen category: the text trimmed of blanks.
    std::string category() const;

    // "确定": an empty category, or one with characters GBK cannot hold, is refused with a
    // message and the dialog stays open.
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
