// TFrmLiuNian "流年时间(公历)": the transit moment. Edits the main window's current transit
// request in place: shows it on opening, writes date, time and zone into it only on "确定".
// When the chart's place has a time zone the moment is read at that place's clock (its offset
// at that moment, summer time included) unless a zone of the list is chosen instead.
#pragma once
#include <QDialog>

#include "chart/Zhanxing.h"
#include "platform/core/UiServices.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TUpDown;

class TFrmLiuNian : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    // `request` and `ui` must outlive the dialog.
    TFrmLiuNian(TransitRequest& request, UiServices& ui, QWidget* parent = nullptr);

    std::string modalTitle() const override { return windowTitle().toStdString(); }
    bool execModal() override { return exec() == QDialog::Accepted; }

    // Handlers.
    void SbtoNowClick();
    void UpDyearClick();
    // Year outside 1600-2200: the message, the focus on the year, the dialog stays open.
    // Otherwise the request takes the dialog's values and the dialog closes accepted.
    void BtnokClick();

    // Controls (owned by the dialog).
    QToolButton* SbtoNow = nullptr;
    QLineEdit* EdtYear = nullptr;
    TUpDown* UpDyear = nullptr;  // position 0..600 = years 1600..2200
    QComboBox* cbom = nullptr;
    QComboBox* cbod = nullptr;
    QComboBox* cbos = nullptr;
    QComboBox* cbomin = nullptr;
    QLabel* Label4 = nullptr;  // the label "时区" in front of the zone list
    QComboBox* Cboshiqu = nullptr;
    // "按当地时钟(<zone>)": only when the chart's place has a time zone; choosing a zone of the
    // list clears it.
    QCheckBox* ChkLocal = nullptr;
    QPushButton* Btnok = nullptr;
    QPushButton* Btncancel = nullptr;

private:
    void build();
    void FormCreate();
    void showMoment(int year, int month, int day, int hour, int minute);
    // The exact offset of the moment at the place's clock into `offset`; false (with the message
    // or question answered by closing) when the moment cannot be read there.
    bool localOffset(const DateTimeFields& when, int32_t& offset);

    TransitRequest& request_;
    UiServices& ui_;
};
