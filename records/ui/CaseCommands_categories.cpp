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
    if (blockedForRestart()) return;
    const auto answer = ui_.inputLine("新建类别", "请输入新建类别名：", "新类别");
    if (!answer) return;
    const std::string text = typedCategory(*answer);
    if (text.empty()) {
        ui_.plainMessage(kBadCategoryText);
        return;
    }
    if (!fitsGbk(text)) {
        ui_.plainMessage(kCategoryNotGbk);
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
    IniUpdate update(*ini);
    ini->writeInteger("classes", "count", count + 1);
    ini->writeString("classes", std::to_string(count + 1), text);
    update.commit();
}

void CaseCommands::renameCategory() {
    QTreeWidgetItem* node = tree_.selected();
    if (CaseTree::levelOf(node) != CaseTree::CategoryLevel || blockedForRestart()) return;
    const std::string old = CaseTree::textOf(node);
    const auto answer = ui_.inputLine("修改类别名", "请输入新的类别名：", old);
    if (!answer) return;
    const std::string text = typedCategory(*answer);
    if (text.empty()) {
        ui_.plainMessage(kBadCategoryText);
        return;
    }
    if (!fitsGbk(text)) {
        ui_.plainMessage(kCategoryNotGbk);
        return;
    }
    if (QTreeWidgetItem* existing = tree_.findCategory(text)) {
        ui_.messageBox("已有这个类别了，请另起一个名称！", "提示", MsgIcon::Warning, MsgButtons::Ok);
        tree_.select(existing);
        return;
    }
    // Every live case of the category, also those the tree does not list now (beyond the
    // newest thousand, or hidden by a search), as deleting does: the category is never split.
    std::vector<int> numbers;
    db_.ForEachRecord([&](int n, const CaseRecord& r) {
        if (r.isLive() && sameCategory(r.categoryUtf8(), old)) numbers.push_back(n);
    });
    if (!numbers.empty() && !numbersCurrent()) return;
    tree_.materialize(node);
    // The journal first, then the list, then every record: a rename cut short anywhere is
    // completed at the next start, list included.
    auto renameList = [&] { tree_.renameInList(old, text); };
    bool renamed = true;
    if (numbers.empty())
        renameList();
    else
        renamed = db_.RenameCategory(numbers, gbk::fromUtf8(text), gbk::fromUtf8(old), renameList);
    if (host_.caseOpen())
        for (int number : numbers)
            if (number == openCaseNumber_) host_.workingCase().setCategory(text);
    node->setText(0, QString::fromStdString(text));
    if (!renamed)
        ui_.messageBox("类别名没有修改完：记录文件无法写入。下次启动软件时会继续修改。", "错误", MsgIcon::Error,
                       MsgButtons::Ok);
}

void CaseCommands::deleteCategory() {
    QTreeWidgetItem* node = tree_.selected();
    if (CaseTree::levelOf(node) != CaseTree::CategoryLevel || blockedForRestart()) return;
    const std::string name = CaseTree::textOf(node);
    // Every live case of the category goes with it, also those the tree does not list now
    // (beyond the newest thousand, or hidden by a search): otherwise the category would come
    // back with them at the next search or start.
    std::vector<int> numbers;
    db_.ForEachRecord([&](int n, const CaseRecord& r) {
        if (r.isLive() && sameCategory(r.categoryUtf8(), name)) numbers.push_back(n);
    });
    std::string question = "确定要删除“" + name + "”这个类别吗？";
    if (!numbers.empty())
        question += "其中的" + std::to_string(numbers.size()) + "个命例和它们的评语也将一起删除。";
    if (ui_.messageBox(question, "注意", MsgIcon::Warning, MsgButtons::YesNo, MsgResult::No) != MsgResult::Yes)
        return;
    if (!numbers.empty() && !numbersCurrent()) return;
    tree_.materialize(node);
    std::vector<CaseRecord> deleted;
    const bool all = deleteCases(numbers, deleted);
    for (std::size_t i = 0; i < deleted.size(); ++i) {
        const int number = numbers[i];
        if (QTreeWidgetItem* leaf = tree_.findCase(number)) tree_.remove(leaf);
        if (host_.caseOpen() && number == openCaseNumber_) {
            host_.clearReading();
            host_.setNatalCast(false);
            leaveOpenCase();
        }
    }
    if (!all) {
        // What is deleted so far stays so.
        ui_.messageBox("类别没有删除完：记录文件无法写入。", "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    tree_.remove(node);
    tree_.forgetCategory(name);
}

void CaseCommands::saveCategories() {
    if (blockedForRestart()) return;
    tree_.SaveCategoryList();
    QTreeWidgetItem* root = tree_.root();
    if (root && root->childCount() > 0) ui_.plainMessage("当前列表的类别已经保存！");
}
