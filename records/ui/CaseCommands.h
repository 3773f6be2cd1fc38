// The case commands of the main window and the record tree's context menu:
//  - the tree's menu, its enabling on the right button, "移动到", "显示全部命例", "查找",
//    "展开" / "收缩", double-click (CaseCommands_menu.cpp);
//  - the categories: add, rename, delete, save the list (CaseCommands_categories.cpp);
//  - save, open, delete and new case, with the open-case state (CaseCommands_cases.cpp);
//  - the file menu's import, export and compaction of the store (CaseCommands_store.cpp);
//  - the file menu's chart exchange with other programs (CaseCommands_exchange.cpp).
// Works on the main window through CaseHost; every message goes through UiServices.
#pragma once
#include <memory>
#include <QObject>
#include <string>
#include <vector>

#include "platform/core/UiServices.h"
#include "records/Database.h"
#include "records/ui/CaseHost.h"
#include "records/ui/CaseTree.h"

class QAction;
class QMenu;
class QTreeWidgetItem;
namespace atlas {
class WorldAtlas;
}

class CaseCommands : public QObject {
public:
    // Builds the tree's context menu and connects the tree's right button and double-click.
    CaseCommands(UiServices& ui, MDataBase& db, CaseHost& host, CaseTree& tree);

    // Case commands.
    // "存新" / "存旧", "保存命例"; true only when the case and its comment were saved (a
    // command that asked for the save stops on false).
    bool saveCase();
    void openCase();    // "查看命例", double-click
    void deleteCase();  // "删除命例"
    void newCase();     // "新建"
    // "与当前盘合盘" / "组合盘" / "时空中点盘": the selected case as the second person against
    // the chart on screen, after the checks of "查看命例".
    void pairWithCase(charttypes::Kind kind);
    // "行运与天象": the window of transits and sky events for the selected case.
    void forecastCase();
    // Tree commands.
    void addCategory();
    void renameCategory();
    void deleteCategory();
    void saveCategories();
    void moveTo(QAction* entry);
    void search();
    void showAllCases();
    void expandSelected();
    void collapseSelected();
    // File menu.
    void importRecords();   // "导入历史记录"
    void exportRecords();   // "导出历史记录"
    void compactRecords();  // "整理记录文件"
    // Chart exchange with other programs.
    void importCharts();  // "导入星盘(AAF/CSV)…"
    void exportCharts();  // "导出星盘(AAF/CSV/JSON)…"

    // The right button went down on the tree: enable the menu for the selected node and refill
    // "移动到" (nothing changes when no node is selected).
    void updateMenu();
    QMenu* menu() const { return menu_; }
    QMenu* moveMenu() const { return moveMenu_; }

    // The open case: its record number and its comment file (meaningful while caseOpen).
    int openCaseNumber() const { return openCaseNumber_; }
    const std::string& openCommentPath() const { return openCommentPath_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    // Runs a command; an error escaping it goes to the application's error box.
    template <class F>
    void guarded(F&& body);
    // False, after telling the user to restart, when another run of the program (or this one)
    // compacted or imported the store since it was opened: the tree's numbers name other cases.
    bool numbersCurrent();
    // The selected saved case, read and checked as "查看命例" checks it (name, year) but not
    // opened; false, after saying why, when there is none or it fails a check.
    bool readSelectedCase(CaseRecord& rec);
    // True, after offering to restart the program, once the store was replaced under this run
    // (an import, also one that will only be finished at the next start): every case command
    // then stops, since the tree and the open case belong to the old store.
    bool blockedForRestart();
    void offerRestart(const std::string& message);
    // The open-case state ends: the save button shows "存新" and the comment box its initial
    // text (used when the open case is deleted).
    void leaveOpenCase();
    // Saves the working case with the comment box under `number` (-1: a new record); false
    // after telling the user, with nothing changed.
    bool storeCase(int number, CaseRecord& rec);
    bool askSaveChangedComment(const char* question);
    // Deletes cases with their comment files as the store's one journalled step; a comment file
    // that cannot be removed is reported. `deleted` receives the records deleted. False when a
    // record could not be written (the cases before it stay deleted).
    bool deleteCases(const std::vector<int>& numbers, std::vector<CaseRecord>& deleted);
    std::string commentPathOf(const CaseRecord& rec) const;

    const atlas::WorldAtlas& exchangeAtlas();  // made on first use
    std::shared_ptr<atlas::WorldAtlas> atlas_;
    UiServices& ui_;
    MDataBase& db_;
    CaseHost& host_;
    CaseTree& tree_;
    int openCaseNumber_ = -1;
    std::string openCommentPath_;
    std::string restartMessage_;  // non-empty once the store was replaced under this run

    QMenu* menu_ = nullptr;
    QMenu* moveMenu_ = nullptr;
    QAction* actView_ = nullptr;
    QAction* actSynastry_ = nullptr;
    QAction* actComposite_ = nullptr;
    QAction* actDavison_ = nullptr;
    QAction* actForecast_ = nullptr;
    QAction* actMove_ = nullptr;
    QAction* actDelete_ = nullptr;
    QAction* actAddCategory_ = nullptr;
    QAction* actRenameCategory_ = nullptr;
    QAction* actDeleteCategory_ = nullptr;
    QAction* actSaveCategories_ = nullptr;
    QAction* actSearch_ = nullptr;
    QAction* actShowAll_ = nullptr;
    QAction* actExpand_ = nullptr;
    QAction* actCollapse_ = nullptr;
};

// The comment box's text while no case comment is shown.
inline constexpr const char* kCommentInitialText = "输入自己的评语：";
