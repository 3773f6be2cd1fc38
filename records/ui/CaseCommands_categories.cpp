// The category commands of the record tree: add, rename, delete, save the list.
#include <QTreeWidget>

#include "platform/core/Gbk.h"
#include "platform/core/IniFile.h"
#include "records/CaseText.h"
#include "records/ui/CaseCommands.h"
#include "records/ui/CategoryList.h"

namespace {
constexpr const char* kBadCategoryText = "类别名不能为空，并且最多可以有6个汉字！";

// A category typed by the user: trimmed, 1 to 12 GBK bytes. Empty when it does not qualify.
std::string typedCategory(const std::string& answer) {
    const std::string text = trimBlanks(answer);
    if (text.empty() || gbk::byteLength(text) >= 13) return std::string();
    return text;
}
}  // namespace

void CaseCommands::addCategory() {
    const auto answer = ui_.inputLine("新建类别", "请输入新建类别名：", "新类别");
    if (!answer) return;
    const std::string text = typedCategory(*answer);
    if (text.empty()) {
        ui_.plainMessage(kBadCategoryText);
        return;
    }
    if (QTreeWidgetItem* existing = tree_.findCategory(text)) {
        ui_.messageBox("已有这个类别了！", "提示", MsgIcon::Warning, MsgButtons::Ok);
        tree_.select(existing);
        return;
    }
    tree_.addCategory(text);
    IniFile* ini = tree_.settings();
    if (!ini) return;
    const int count = ini->readInteger("classes", "count", 0);
    for (int i = 1; i <= count; ++i)
        if (sameCategory(ini->readString("classes", std::to_string(i), ""), text)) return;
    ini->writeInteger("classes", "count", count + 1);
    ini->writeString("classes", std::to_string(count + 1), text);
}

void CaseCommands::renameCategory() {
    QTreeWidgetItem* node = tree_.selected();
    if (CaseTree::levelOf(node) != CaseTree::CategoryLevel) return;
    const std::string old = CaseTree::textOf(node);
    const auto answer = ui_.inputLine("修改类别名", "请输入新的类别名：", old);
    if (!answer) return;
    const std::string text = typedCategory(*answer);
    if (text.empty()) {
        ui_.plainMessage(kBadCategoryText);
        return;
    }
    if (QTreeWidgetItem* existing = tree_.findCategory(text)) {
        ui_.messageBox("已有这个类别了，请另起一个名称！", "提示", MsgIcon::Warning, MsgButtons::Ok);
        tree_.select(existing);
        return;
    }
    tree_.materialize(node);
    if (node->childCount() > 0 && !numbersCurrent()) return;
    for (int i = 0; i < node->childCount(); ++i) {
        const int number = CaseTree::numberOf(node->child(i));
        CaseRecord rec{};
        if (!db_.ReadRecord(number, rec)) continue;
        rec.setCategory(text);
        if (!db_.WriteRecord(number, rec)) {
            ui_.messageBox("类别名没有修改完：记录文件无法写入。", "错误", MsgIcon::Error, MsgButtons::Ok);
            return;
        }
        if (host_.caseOpen() && number == openCaseNumber_) host_.workingCase().setCategory(text);
    }
    if (IniFile* ini = tree_.settings()) {
        const int count = ini->readInteger("classes", "count", 0);
        for (int i = 1; i <= count; ++i) {
            const std::string key = std::to_string(i);
            if (sameCategory(ini->readString("classes", key, ""), old)) {
                ini->writeString("classes", key, text);
                break;
            }
        }
    }
    node->setText(0, QString::fromStdString(text));
}

void CaseCommands::deleteCategory() {
    QTreeWidgetItem* node = tree_.selected();
    if (CaseTree::levelOf(node) != CaseTree::CategoryLevel) return;
    const std::string name = CaseTree::textOf(node);
    if (ui_.messageBox("确定要删除“" + name + "”这个类别吗？", "注意", MsgIcon::Warning,
                       MsgButtons::YesNo, MsgResult::Yes) != MsgResult::Yes)
        return;
    tree_.materialize(node);
    if (node->childCount() > 0 && !numbersCurrent()) return;
    while (node->childCount() > 0) {
        QTreeWidgetItem* leaf = node->child(0);
        const int number = CaseTree::numberOf(leaf);
        CaseRecord rec{};
        db_.ReadRecord(number, rec);  // a deleted record still names its comment file
        if (!db_.MarkDeleted(number) && db_.ReadRecord(number, rec)) {
            // Still live: the record file cannot be written. What is deleted so far stays so.
            ui_.messageBox("类别没有删除完：记录文件无法写入。", "错误", MsgIcon::Error, MsgButtons::Ok);
            return;
        }
        deleteCommentOf(rec);
        if (host_.caseOpen() && number == openCaseNumber_) {
            host_.clearReading();
            host_.setNatalCast(false);
            leaveOpenCase();
        }
        tree_.remove(leaf);
    }
    tree_.remove(node);
}

void CaseCommands::saveCategories() {
    tree_.SaveCategoryList();
    QTreeWidgetItem* root = tree_.root();
    if (root && root->childCount() > 0) ui_.plainMessage("当前列表的类别已经保存！");
}
