// TFrmCsvMap "CSV列对应": which column of a table holds which field of a chart, for a header
// whose names this program does not know. One list per field offering "(无)" and the table's
// columns, the guess preselected; name and date are required.
#pragma once
#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "interchange/Csv.h"
#include "platform/core/UiServices.h"

class QComboBox;
class QPushButton;

class TFrmCsvMap : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    TFrmCsvMap(UiServices& ui, const std::vector<std::string>& header, const interchange::CsvMapping& guess,
               QWidget* parent = nullptr);

    interchange::CsvMapping mapping() const;
    // "确定": refused with a message while name or date has no column.
    void BtnokClick();

    std::string modalTitle() const override;
    bool execModal() override { return exec() == QDialog::Accepted; }

    std::array<QComboBox*, interchange::kCsvFieldCount> Columns{};
    QPushButton* Btnok = nullptr;
    QPushButton* Btnno = nullptr;

private:
    UiServices& ui_;
};
