// "行运与天象" on a saved case: the case is checked as "查看命例" checks it (name, year) and handed
// to the main window, which opens the window of its transits; the panel and the open case stay.
#include "records/ui/CaseCommands.h"

void CaseCommands::forecastCase() {
    const int number = tree_.SelectedCaseNumber();
    if (number == -1) {
        ui_.plainMessage("请先选择一个命例！");
        return;
    }
    if (!numbersCurrent()) return;
    CaseRecord rec{};
    if (!db_.ReadRecord(number, rec)) return;
    if (rec.nameUtf8().empty()) {
        ui_.messageBox("姓名不能为空", "提示", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    if (rec.year < 1600 || rec.year > 2200) {
        ui_.messageBox("年份必须在1600到2200年之间", "年份错误", MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    host_.showForecast(rec);
}
