// TFrmDaoRu "导入星盘": the review of charts read from an AAF or CSV file before anything is
// written. One row per chart with its marks and a check box (duplicates, unresolved zones and
// charts without a place start unchecked), the lines that could not be read, the category
// (default: the file's name), and "导入", which writes the checked charts as one step with a
// progress bar; "取消" during the write stops it and leaves the case file as it was.
#pragma once
#include <QDialog>
#include <string>

#include "interchange/Cases.h"
#include "platform/core/UiServices.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;

class TFrmDaoRu : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    TFrmDaoRu(UiServices& ui, MDataBase& db, interchange::Review& review, const std::string& category,
              QWidget* parent = nullptr);

    // Cases written by "导入" (-1 when the store refused or the write was cancelled).
    int written() const { return written_; }
    std::string category() const;

    // "导入": the checked charts into the category, after the user agreed to leave out the
    // unreadable lines; accepted when written.
    void BtnImportClick();
    // "取消": closes, or during the write stops it.
    void BtnCancelClick();

    std::string modalTitle() const override;
    bool execModal() override { return exec() == QDialog::Accepted; }

    QLabel* LblSummary = nullptr;
    QTreeWidget* ListCharts = nullptr;
    QListWidget* ListProblems = nullptr;
    QLineEdit* EdtCategory = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* BtnImport = nullptr;
    QPushButton* BtnCancel = nullptr;

private:
    void updateSummary();
    UiServices& ui_;
    MDataBase& db_;
    interchange::Review& review_;
    int written_ = -1;
    bool writing_ = false;
    bool cancelled_ = false;
};
