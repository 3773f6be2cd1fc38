// The case commands: save (a new case or an update of the open one), open, delete, new; the
// open-case state and the comment file of the open case.
#include <QTreeWidget>
#include <cstdio>

#include "platform/core/FileOps.h"
#include "platform/core/Numbers.h"
#include "platform/qt/QtRichText.h"
#include "records/ui/CaseCommands.h"
#include "records/ui/Untflei.h"

namespace {
constexpr const char* kRecordWriteFailed = "命例没有保存：记录文件无法写入。";
const std::string kCommentNotRemoved = "命例已经删除，但它的评语文件无法删除：";
}  // namespace

std::string CaseCommands::commentPathOf(const CaseRecord& rec) const {
    return db_.CommentFilePath(rec);
}

bool CaseCommands::deleteCases(const std::vector<int>& numbers, std::vector<CaseRecord>& deleted) {
    std::vector<MDataBase::CommentRemoval> results;
    const bool all = db_.DeleteCases(numbers, deleted, results);
    std::string failed;
    for (std::size_t i = 0; i < deleted.size() && i < results.size(); ++i)
        if (results[i] == MDataBase::CommentRemoval::Failed) failed += "\n" + commentPathOf(deleted[i]);
    if (!failed.empty())
        ui_.messageBox(kCommentNotRemoved + failed.substr(1), "错误", MsgIcon::Error, MsgButtons::Ok);
    return all;
}

bool CaseCommands::storeCase(int number, CaseRecord& rec) {
    std::string bytes, error;
    const std::string path = commentPathOf(rec);
    if (!host_.commentBox().contentBytes(false, bytes, &error)) {
        ui_.messageBox("评语文件无法写入：" + path, "错误", MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    switch (db_.SaveCase(number, rec, bytes)) {
        case MDataBase::SaveResult::Saved:
            return true;
        case MDataBase::SaveResult::CommentFailed:
            ui_.messageBox("评语文件无法写入：" + path, "错误", MsgIcon::Error, MsgButtons::Ok);
            return false;
        case MDataBase::SaveResult::RecordFailed:
            break;
    }
    ui_.messageBox(kRecordWriteFailed, "错误", MsgIcon::Error, MsgButtons::Ok);
    return false;
}

bool CaseCommands::askSaveChangedComment(const char* question) {
    if (!host_.caseOpen() || !host_.commentBox().modified()) return false;
    return ui_.messageBox(question, "提示", MsgIcon::Warning, MsgButtons::YesNo, MsgResult::Yes) ==
           MsgResult::Yes;
}

void CaseCommands::leaveOpenCase() {
    host_.setCaseOpen(false);
    openCaseNumber_ = -1;
    openCommentPath_.clear();
    host_.showCaseOpen(false);
    host_.commentBox().setText(kCommentInitialText);
    host_.commentBox().setModified(false);
}

bool CaseCommands::saveCase() {
    if (blockedForRestart()) return false;
    if (!host_.natalCast()) {
        ui_.messageBox("请先排一个正确的盘后再保存", "提示", MsgIcon::Information, MsgButtons::Ok);
        return false;
    }
    CaseRecord& current = host_.workingCase();
    QtRichText& comment = host_.commentBox();
    if (host_.caseOpen()) {
        // The question names the open case as it is stored; a chart of someone else cast since
        // it was opened is said so, and then 否 is the default.
        CaseRecord open{};
        const std::string openName =
            db_.ReadRecord(openCaseNumber_, open) ? open.displayNameUtf8() : current.displayNameUtf8();
        std::string question = "要修改“" + openName + "”这条记录吗？";
        const bool otherName = current.displayNameUtf8() != openName;
        if (otherName)
            question += "\n输入栏中的姓名是“" + current.displayNameUtf8() + "”；要保存为新命例请按“存新”。";
        if (ui_.messageBox(question, "提示", MsgIcon::Information, MsgButtons::YesNo,
                           otherName ? MsgResult::No : MsgResult::Yes) != MsgResult::Yes)
            return false;
        if (!numbersCurrent()) return false;
        // The record and its comment together: on a refusal neither has changed.
        if (!storeCase(openCaseNumber_, current)) return false;
        comment.setModified(false);
        if (QTreeWidgetItem* node = tree_.findCase(openCaseNumber_))
            tree_.showCase(node, current, openCaseNumber_);
        ui_.plainMessage("已保存编辑后的命例。");
        return true;
    }

    TFrmFenLei dialog(ui_, tree_.categoryTexts());
    if (!ui_.showModal(dialog)) return false;
    const std::string category = dialog.category();
    if (category.empty()) return false;
    CaseRecord saving = current;
    saving.setCategory(category);
    // A comment name no file and no stored record uses: two cases never share a comment file.
    saving.setCommentGbk(db_.MakeCommentName(saving));
    if (!storeCase(-1, saving)) return false;
    current = saving;
    const int number = current.number;
    QTreeWidgetItem* node = tree_.findCategory(current.categoryUtf8());
    if (!node) node = tree_.addCategory(current.categoryUtf8());
    tree_.addCase(node, current, number);
    CaseTree::expandAll(node, true);
    openCaseNumber_ = number;
    openCommentPath_ = commentPathOf(current);
    host_.setCaseOpen(true);
    comment.setModified(false);
    host_.showCaseOpen(true);
    return true;
}

void CaseCommands::openCase() {
    const int number = tree_.SelectedCaseNumber();
    if (number == -1) {
        ui_.plainMessage("请先选择一个命例！");
        return;
    }
    if (blockedForRestart() || !numbersCurrent()) return;
    CaseRecord stored{};
    if (!db_.ReadRecord(number, stored)) return;
    // A save the user asked for that does not happen keeps the typed comment: this case stays.
    if (askSaveChangedComment("当前命例文本已改变，要保存吗？") && !saveCase()) return;

    CaseRecord& current = host_.workingCase();
    current = stored;
    host_.fillPanelFromCase(current);
    host_.setNatalCast(false);
    // A record that fails the panel's checks is not opened: the case open before it (if any) is
    // left, so a later save cannot write this record's data under that case's number.
    if (host_.panelName().empty()) {
        ui_.messageBox("姓名不能为空", "提示", MsgIcon::Information, MsgButtons::Ok);
        if (host_.caseOpen()) leaveOpenCase();
        return;
    }
    const int year = wholeNumber(host_.panelYearText(), -1000);
    if (year < 1600 || year > 2200) {
        ui_.messageBox("年份必须在1600到2200年之间", "年份错误", MsgIcon::Warning, MsgButtons::Ok);
        host_.focusPanelYear();
        if (host_.caseOpen()) leaveOpenCase();
        return;
    }
    const BirthRecord request = host_.panelRequestFromCase(current);
    // A record without a comment name (written by hand or by another tool) gets one now; the
    // next update stores it.
    if (current.commentGbk().empty()) current.setCommentGbk(db_.MakeCommentName(current));
    host_.setCaseOpen(true);
    openCaseNumber_ = number;
    openCommentPath_ = commentPathOf(current);
    host_.showCaseOpen(true);

    // The case's own comment, or the initial text when it has none: never the previous case's
    // comment under this case.
    QtRichText& comment = host_.commentBox();
    if (recfs::exists(openCommentPath_)) {
        comment.clear();
        // Read as the store reads its own files: a regular file of bounded size only, so a FIFO
        // or a link to a device under the comment's name cannot hang the window or fill memory.
        std::string bytes, error;
        if (!MDataBase::ReadCommentFile(openCommentPath_, bytes) || !comment.loadBytes(bytes, &error)) {
            comment.setText(kCommentInitialText);
            ui_.messageBox("评语文件无法读取：" + openCommentPath_, "错误", MsgIcon::Error, MsgButtons::Ok);
        }
    } else {
        comment.setText(kCommentInitialText);
    }
    comment.setModified(false);

    std::string error;
    if (!host_.castCase(request, error)) {
        ui_.messageBox(error, "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    comment.setModified(false);
}

void CaseCommands::deleteCase() {
    QTreeWidgetItem* node = tree_.selected();
    const int number = tree_.SelectedCaseNumber();
    if (number == -1) {
        ui_.plainMessage("请先选择一个记录！");
        return;
    }
    const std::string text = CaseTree::textOf(node);
    const std::string name = text.substr(0, text.find(' '));
    if (ui_.messageBox("确定要删除“" + name + "”这个记录吗？", "注意", MsgIcon::Warning, MsgButtons::YesNo,
                       MsgResult::No) != MsgResult::Yes)
        return;
    if (blockedForRestart() || !numbersCurrent()) return;
    const bool isOpen = host_.caseOpen() && number == openCaseNumber_;
    if (isOpen && ui_.messageBox("确定要删除当前正在查看的记录吗？", "提示", MsgIcon::Warning,
                                 MsgButtons::YesNo, MsgResult::Yes) != MsgResult::Yes)
        return;
    // The record and its comment in one journalled step: if the record file cannot be written,
    // the case stays whole with its comment; a kill midway is finished at the next start.
    std::vector<CaseRecord> deleted;
    if (!deleteCases({number}, deleted)) {
        ui_.messageBox("命例没有删除：记录文件无法写入。", "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    if (isOpen) {
        host_.clearReading();
        host_.setNatalCast(false);
        // The deleted case is no longer open: a later save appends a new record instead of
        // reviving this one.
        leaveOpenCase();
    }
    tree_.remove(node);
}

void CaseCommands::newCase() {
    if (blockedForRestart()) return;
    if (ui_.messageBox("确定要开始建立一个新命例吗？这将清除现有评语！", "新建", MsgIcon::Information,
                       MsgButtons::YesNo, MsgResult::Yes) != MsgResult::Yes)
        return;
    if (askSaveChangedComment("当前评语文本已改变，要保存吗？") && !saveCase()) return;
    host_.blankChart();
    host_.setCaseOpen(false);
    openCaseNumber_ = -1;
    openCommentPath_.clear();
    host_.commentBox().setText(kCommentInitialText);
    host_.commentBox().setModified(false);
    host_.showCaseOpen(false);
    host_.setNatalCast(false);
}
