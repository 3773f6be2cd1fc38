// The case commands: save (a new case or an update of the open one), open, delete, new; the
// open-case state and the comment file of the open case.
#include <fcntl.h>
#include <unistd.h>

#include <QTreeWidget>
#include <cstdio>

#include "platform/core/FileOps.h"
#include "platform/core/Numbers.h"
#include "platform/qt/QtRichText.h"
#include "records/ui/CaseCommands.h"
#include "records/ui/Untflei.h"

namespace {
constexpr const char* kRecordWriteFailed = "命例没有保存：记录文件无法写入。";

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}
}  // namespace

std::string CaseCommands::commentPathOf(const CaseRecord& rec) const {
    return db_.CommentFilePath(rec);
}

void CaseCommands::deleteCommentOf(const CaseRecord& rec) {
    if (rec.commentGbk().empty()) return;  // names no file (a cleared or never filled buffer)
    std::remove(commentPathOf(rec).c_str());
}

bool CaseCommands::writeComment(const std::string& path) {
    // The whole comment goes to a temporary file first and replaces the old one by a rename,
    // so a crash leaves either the old comment or the new one, never a part.
    const std::string temp = path + ".part~";
    bool ok = host_.commentBox().saveFile(temp, false);
    if (ok) {
        const int fd = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
        ok = fd >= 0 && ::fsync(fd) == 0;
        if (fd >= 0) ::close(fd);
    }
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        std::remove(temp.c_str());
        ui_.messageBox("评语文件无法写入：" + path, "错误", MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    recfs::syncFolder(folderOf(path));
    return true;
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

void CaseCommands::saveCase() {
    if (!host_.natalCast()) {
        ui_.messageBox("请先排一个正确的盘后再保存", "提示", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    CaseRecord& current = host_.workingCase();
    QtRichText& comment = host_.commentBox();
    if (host_.caseOpen()) {
        if (ui_.messageBox("要修改“" + current.displayNameUtf8() + "”这条记录吗？", "提示", MsgIcon::Information,
                           MsgButtons::YesNo, MsgResult::Yes) != MsgResult::Yes)
            return;
        if (!numbersCurrent()) return;
        if (!writeComment(openCommentPath_)) return;
        comment.setModified(false);
        if (!db_.WriteRecord(openCaseNumber_, current)) {
            ui_.messageBox(kRecordWriteFailed, "错误", MsgIcon::Error, MsgButtons::Ok);
            return;
        }
        if (QTreeWidgetItem* node = tree_.findCase(openCaseNumber_))
            tree_.showCase(node, current, openCaseNumber_);
        ui_.plainMessage("已保存编辑后的命例。");
        return;
    }

    TFrmFenLei dialog(ui_, tree_.settings());
    if (!ui_.showModal(dialog)) return;
    const std::string category = dialog.category();
    if (category.empty()) return;
    current.setCategory(category);
    current.setCommentGbk(db_.MakeCommentName(current));
    // The comment first: a record is never appended without its comment file.
    const std::string path = commentPathOf(current);
    if (!writeComment(path)) return;
    const int number = db_.Append(current);
    if (number < 0) {
        std::remove(path.c_str());
        ui_.messageBox(kRecordWriteFailed, "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    QTreeWidgetItem* node = tree_.findCategory(current.categoryUtf8());
    if (!node) node = tree_.addCategory(current.categoryUtf8());
    tree_.addCase(node, current, number);
    CaseTree::expandAll(node, true);
    openCaseNumber_ = number;
    openCommentPath_ = path;
    host_.setCaseOpen(true);
    comment.setModified(false);
    host_.showCaseOpen(true);
}

void CaseCommands::openCase() {
    const int number = tree_.SelectedCaseNumber();
    if (number == -1) {
        ui_.plainMessage("请先选择一个命例！");
        return;
    }
    if (!numbersCurrent()) return;
    CaseRecord stored{};
    if (!db_.ReadRecord(number, stored)) return;
    if (askSaveChangedComment("当前命例文本已改变，要保存吗？")) saveCase();

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
        std::string error;
        if (!comment.loadFile(openCommentPath_, &error)) {
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
    if (!numbersCurrent()) return;
    const bool isOpen = host_.caseOpen() && number == openCaseNumber_;
    std::string commentFile;
    if (isOpen) {
        if (ui_.messageBox("确定要删除当前正在查看的记录吗？", "提示", MsgIcon::Warning, MsgButtons::YesNo,
                           MsgResult::Yes) != MsgResult::Yes)
            return;
        commentFile = openCommentPath_;
    } else {
        CaseRecord rec{};
        db_.ReadRecord(number, rec);  // the comment name, also of a record deleted meanwhile
        if (!rec.commentGbk().empty()) commentFile = commentPathOf(rec);
    }
    // The record first: if the file cannot be written, the case stays whole with its comment.
    if (!db_.MarkDeleted(number)) {
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
    if (!commentFile.empty()) std::remove(commentFile.c_str());
    tree_.remove(node);
}

void CaseCommands::newCase() {
    if (ui_.messageBox("确定要开始建立一个新课例吗?这将清除现有评语！", "新建", MsgIcon::Information,
                       MsgButtons::YesNo, MsgResult::Yes) != MsgResult::Yes)
        return;
    if (askSaveChangedComment("当前评语文本已改变，要保存吗？")) saveCase();
    host_.blankChart();
    host_.setCaseOpen(false);
    openCaseNumber_ = -1;
    openCommentPath_.clear();
    host_.commentBox().setText(kCommentInitialText);
    host_.commentBox().setModified(false);
    host_.showCaseOpen(false);
    host_.setNatalCast(false);
}
