// TFrmDiLi "经纬度修改": corrects the coordinates of a place in the place table dat/dili.ini.
// Province and place lists come from the table; the four fields show the stored degrees and
// minutes; "修改" asks, checks the ranges and writes "d:m*d:m" under the place at once.
#pragma once
#include <QDialog>
#include <memory>
#include <string>

#include "platform/core/UiServices.h"

class IniFile;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFrmDiLi : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    // programFolder: where dat/ lives (ends in "/"). `ui` must outlive the dialog.
    TFrmDiLi(UiServices& ui, const std::string& programFolder, QWidget* parent = nullptr);
    ~TFrmDiLi() override;

    std::string modalTitle() const override { return windowTitle().toStdString(); }
    bool execModal() override { return exec() == QDialog::Accepted; }

    // Handlers.
    void CboShengClick();
    void CboShiClick();
    // The question, the two range checks, the write, "完成". A failed write is reported and
    // leaves the table as it was; the dialog stays open either way.
    void BtoEditClick();
    void FormClose();  // releases the table

    // Controls (owned by the dialog).
    QComboBox* CboSheng = nullptr;
    QComboBox* CboShi = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* LedtJingDu = nullptr;
    QLineEdit* LedtJingFen = nullptr;
    QLineEdit* LedtWeiDu = nullptr;
    QLineEdit* LedtWeiFen = nullptr;
    QPushButton* BtoEdit = nullptr;

    void done(int result) override;

private:
    void build();
    void FormCreate(const std::string& programFolder);

    UiServices& ui_;
    std::unique_ptr<IniFile> table_;
};
