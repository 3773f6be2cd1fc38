// TFrmSearch "查找命例": conditions on sex, birth years, province, category and name, kept in
// the main window's remembered filter; searches the whole store and, when the user agrees,
// hands the matches to the record tree. A refused search keeps the dialog open.
#pragma once
#include <QDialog>
#include <string>
#include <vector>

#include "platform/core/UiServices.h"
#include "records/Database.h"

class IniFile;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

class TFrmSearch : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    // `filter` is the main window's remembered filter, read and written in place.
    TFrmSearch(UiServices& ui, MDataBase& db, const IniFile* settings, CaseFilter& filter,
               QWidget* parent = nullptr);

    // 1 when the user chose to show the result, else 0.
    int resultFlag() const { return tag_; }
    // The matches of the last search, in file order.
    const std::vector<int>& results() const { return results_; }

    // Takes the conditions into the filter in their order, searches and asks; true when the
    // result is to be shown. Every refusal has told the user why.
    bool runSearch();
    void BtnSearchClick();
    void BtoAllClick();
    void BtoCancelClick();

    std::string modalTitle() const override;
    bool execModal() override { return exec() == QDialog::Accepted; }

    QGroupBox* RdoSex = nullptr;
    QRadioButton* sexAny = nullptr;
    QRadioButton* sexMale = nullptr;
    QRadioButton* sexFemale = nullptr;
    QComboBox* cbodiZ = nullptr;
    QLineEdit* LedtY1 = nullptr;
    QLineEdit* LedtY2 = nullptr;
    QComboBox* CboFenLei = nullptr;
    QCheckBox* ChkClass = nullptr;
    QLineEdit* Edtname = nullptr;
    QCheckBox* ChkName = nullptr;
    QPushButton* BtoAll = nullptr;
    QPushButton* BtnSearch = nullptr;
    QPushButton* BtoCancel = nullptr;
    // Shown only while a search runs (the busy indication).
    QProgressBar* Animate1 = nullptr;

private:
    void build();
    void showFilter();
    void setBusy(bool busy);

    UiServices& ui_;
    MDataBase& db_;
    const IniFile* settings_;
    CaseFilter& filter_;
    std::vector<int> results_;
    int tag_ = 0;
};
