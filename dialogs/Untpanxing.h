// TFrmPanXing "盘型": what a chart type needs beyond the natal chart on screen: the second
// person (the input panel or a saved case), the progressed date, or the return year, month and
// place. The date and year controls and their check are those of the transit time dialog.
#pragma once
#include <QDialog>
#include <string>
#include <vector>

#include "chart/ChartTypes.h"
#include "platform/core/UiServices.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TUpDown;

// The dialog's answers; the fields that the chart type does not use are left as they are.
struct PanXingChoice {
    int person = 0;       // second person: 0 the input panel, n the n-th saved case
    DateTimeFields date;  // progressed / solar arc date (time of day 0:00)
    int year = 2000;      // return year
    int month = 1;        // lunar return month
    int place = 0;        // return place: 0 the birth place, 1 the input panel's place
};

class TFrmPanXing : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    // `people`: the saved cases offered as second person, after "输入面板". `choice` holds the
    // values shown on opening and takes the dialog's values on "确定".
    TFrmPanXing(charttypes::Kind kind, const std::vector<std::string>& people,
                PanXingChoice& choice, UiServices& ui, QWidget* parent = nullptr);

    std::string modalTitle() const override { return windowTitle().toStdString(); }
    bool execModal() override { return exec() == QDialog::Accepted; }

    void SbtoNowClick();
    void UpDyearClick();
    // Year outside 1600-2200: the transit dialog's message, the focus on the year, the dialog
    // stays open. Otherwise the choice takes the dialog's values and the dialog closes accepted.
    void BtnokClick();

    QComboBox* CboPerson = nullptr;  // two-person types
    QToolButton* SbtoNow = nullptr;  // date and year types
    QLineEdit* EdtYear = nullptr;
    TUpDown* UpDyear = nullptr;
    QComboBox* cbom = nullptr;       // progressed date, lunar return month
    QComboBox* cbod = nullptr;       // progressed date
    QComboBox* CboPlace = nullptr;   // returns
    QPushButton* Btnok = nullptr;
    QPushButton* Btncancel = nullptr;

private:
    charttypes::Kind kind_;
    PanXingChoice& choice_;
    UiServices& ui_;
};
