// The record tree in the main window's left pane: the root "命例", the categories, the cases
// under them. Built wholesale from a list of record numbers; the category list lives in section
// "classes" of the main settings file. The case commands and the tree's context menu work on it.
#pragma once
#include <QObject>
#include <string>
#include <vector>

#include "records/Database.h"

class IniFile;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

class CaseTree : public QObject {
    Q_OBJECT
public:
    // The tree widget is created as a child of `parent` and owned by it.
    CaseTree(QWidget* parent, MDataBase& db);
    QTreeWidget* widget() const { return tree_; }
    // The settings file whose section "classes" holds the category list; none before start-up.
    void setSettings(IniFile* settings) { settings_ = settings; }

    // Clears and rebuilds the tree: categories of the settings first (empty entries skipped),
    // then those met in the records, cases in list order; only the root is expanded.
    void BuildCaseTree(const std::vector<int>& numbers);
    // Record number of the selected case node; -1 for the root, a category or no selection.
    int SelectedCaseNumber() const;
    // Writes "count" and the category texts in tree order (no message).
    void SaveCategoryList();
    // The newest 1000 record numbers, newest first (the start-up list).
    static std::vector<int> newestNumbers(int count);

    QTreeWidgetItem* root() const;
    // The first category node whose text equals `category` (ASCII case ignored); null if none.
    QTreeWidgetItem* findCategory(const std::string& category) const;
    QTreeWidgetItem* addCategory(const std::string& category);
    QTreeWidgetItem* addCase(QTreeWidgetItem* category, const CaseRecord& c, int number);

private:
    MDataBase& db_;
    IniFile* settings_ = nullptr;
    QTreeWidget* tree_ = nullptr;
};
