// The transit command "流" and the menu entries that open the auxiliary dialogs: blood-type test,
// place editor, chart settings.
#include "app/Untmain.h"

void TFrmMain::SbtoZw_liuClick() {
    if (!natalCast_) {
        ui_.messageBox("请先排一个本命盘。", "提示", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    // The transit time dialog, which edits transit_ in place and may be cancelled, comes here.
    if (!engine_) return;
    const bool ok = engine_->castTransit(transit_);
    Imgzhanxing->update();
    if (!ok) ui_.messageBox(engine_->errorText(), "错误", MsgIcon::Error, MsgButtons::Ok);
}

void TFrmMain::mnuT_xueClick() {}
void TFrmMain::mnuT_diliClick() {}
void TFrmMain::OmnusetcanClick() {}
