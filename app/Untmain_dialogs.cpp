// The transit command "流" and the menu entries that open the auxiliary dialogs: blood-type test,
// place editor, chart settings. Each dialog is created when chosen and released when it closes.
#include <QComboBox>

#include "platform/qt/WidgetScript.h"
#include "app/InputPanel.h"
#include "app/Untmain.h"
#include "dialogs/Untdili.h"
#include "dialogs/Untliun.h"
#include "dialogs/Untsetpan.h"
#include "dialogs/Untxue.h"

void TFrmMain::SbtoZw_liuClick() {
    if (!natalCast_) {
        ui_.messageBox("请先排一个本命盘。", "提示", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    {
        // Edits transit_ in place on "确定"; the zone chosen there stays in the request for later
        // transits until the next natal command copies the natal zone in again.
        TFrmLiuNian dialog(transit_, ui_, this);
        if (!ui_.showModal(dialog)) return;
    }
    if (!engine_) return;
    // A transit goes over the natal chart, also when another chart type is on screen.
    std::string error;
    if (!engine_->caption().empty() && !castCase(birth_, error)) {
        ui_.messageBox(error, "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    showTransit();
}

void TFrmMain::showTransit() {
    const bool ok = engine_->castTransit(transit_);
    Imgzhanxing->update();
    showAspectList();
    describeChart();
    if (!ok) {
        ui_.messageBox(engine_->errorText(), "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    // The transit is drawn on the chart page: show it, as the natal command does.
    Page1->setCurrentIndex(0);
}

void TFrmMain::mnuT_xueClick() {
    TFrmXue dialog(this);
    ui_.showModal(dialog);
}

// Opens at the province and place selected on the input panel. The panel keeps its city list;
// an edit shows the next time the province is picked.
void TFrmMain::mnuT_diliClick() {
    guarded([this] {
        TFrmDiLi dialog(ui_, programFolder_, this);
        dialog.selectPlace(panel_->provinceIndex(), sourceText(panel_->cbodiC).toStdString());
        ui_.showModal(dialog);
    });
}

// After "确认" the chart on screen is drawn again with the new settings: the last natal chart,
// and the last transit over it when a transit was showing, or the chart type that was showing;
// the page 相位表 follows.
void TFrmMain::OmnusetcanClick() {
    guarded([this] {
        {
            TFrmSetPan dialog(ui_, programFolder_, this);
            if (!ui_.showModal(dialog)) return;
        }
        redrawChart();
    });
}

void TFrmMain::redrawChart() {
    if (!engine_ || !natalCast_) return;
    if (!engine_->caption().empty() && typeResult_.kind != charttypes::Kind::Natal) {
        charttypes::TypeResult result;
        std::string ignored;  // the same request was cast before; a refusal leaves the natal chart
        const bool ok = charttypes::castChartType(*engine_, typeRequest_, result, ignored);
        chartTypeShown(typeRequest_, result, ok);
    } else {
        const bool transitShown = engine_->mode() == ChartMode::Transit;
        if (engine_->castNatal(birth_) && transitShown) engine_->castTransit(transit_);
        showAspectList();
    }
    Imgzhanxing->update();
    describeChart();
}
