// "与当前盘合盘" / "组合盘" / "时空中点盘": the selected saved case as the second person of a chart
// against the natal chart on screen. The case is checked as "查看命例" checks it (name, year),
// but it is not opened: the panel, the open case and its comment stay as they are.
#include "platform/core/Numbers.h"
#include "records/ui/CaseCommands.h"

void CaseCommands::pairWithCase(charttypes::Kind kind) {
    if (!host_.natalCast()) {
        ui_.messageBox("请先排一个本命盘。", "提示", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    CaseRecord rec{};
    if (!readSelectedCase(rec)) return;
    host_.castWithCase(kind, rec);
}

bool CaseCommands::readSelectedCase(CaseRecord& rec) {
    const int number = tree_.SelectedCaseNumber();
    if (number == -1) {
        ui_.plainMessage("请先选择一个命例！");
        return false;
    }
    if (!numbersCurrent() || !db_.ReadRecord(number, rec)) return false;
    if (rec.nameUtf8().empty()) {
        ui_.messageBox("姓名不能为空", "提示", MsgIcon::Information, MsgButtons::Ok);
        return false;
    }
    if (rec.year < 1600 || rec.year > 2200) {
        ui_.messageBox("年份必须在1600到2200年之间", "年份错误", MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    return true;
}
