// TFrmDiLi "经纬度修改": corrects the coordinates of a place in the place table dat/dili.ini.
// Province and place lists come from the table; the four fields show the stored degrees and
// minutes; "修改" checks the ranges, asks, and writes "d:m*d:m" under the place at once.
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
    // The two range checks, the question, the write, "完成". A failed write is reported and
    // leaves the table as it was; the dialog stays open either way.
    void BtoEditClick();
    // Opens at a province (index into the province list) and a place of it by name, as the main
    // window has them selected; a place the table does not list leaves its first place shown.
    void selectPlace(int province, const std::string& place);

    static constexpr const char* kLongitudeRange = "经度度数在-179到179之间，分数在0到59之间";
    static constexpr const char* kLatitudeRange = "纬度度数在-89到89之间，分数在0到59之间";
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
    QPushButton* BtnClose = nullptr;  // "关闭"

    void done(int result) override;

private:
    void build();
    void FormCreate(const std::string& programFolder);

    UiServices& ui_;
    std::unique_ptr<IniFile> table_;
};
