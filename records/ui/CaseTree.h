// The record tree in the main window's left pane: the root "命例", the categories, the cases
// under them. Built wholesale from a list of record numbers; the category list lives in section
// "classes" of the main settings file. The case commands and the tree's context menu work on it
// (CaseCommands).
//
// Categories start collapsed, so the nodes of a category's cases are made when it is first
// expanded (or searched, or added to): a rebuild from a hundred thousand records only reads
// them. Every operation below that reaches case nodes makes them first.
#pragma once
#include <QIcon>
#include <QObject>
#include <array>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "records/Database.h"

class IniFile;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

class CaseTree : public QObject {
    Q_OBJECT
public:
    // The tree's images, 16 x 16, in this order.
    enum TreeImage { FemaleCase = 0, MaleCase = 1, CategoryImage = 2, RootImage = 3 };
    enum Level { RootLevel = 0, CategoryLevel = 1, CaseLevel = 2 };
    static constexpr const char* kRootText = "命例";
    static constexpr const char* kSearchRootText = "命例（查找结果）";

    // The tree widget is created as a child of `parent` and owned by it.
    CaseTree(QWidget* parent, MDataBase& db);
    QTreeWidget* widget() const { return tree_; }
    // The settings file whose section "classes" holds the category list; none before start-up.
    // The category renames the store finished at its start (for a run killed midway) are
    // carried into the list.
    void setSettings(IniFile* settings);
    IniFile* settings() const { return settings_; }

    // Clears and rebuilds the tree: categories of the settings first (empty entries skipped),
    // then those met in the records, cases in list order; only the root is expanded.
    void BuildCaseTree(const std::vector<int>& numbers);
    // The tree lists the results of a search: the root reads "命例（查找结果）" (and keeps it
    // through rebuilds) until this is set back, when it reads "命例" again.
    void setSearchResults(bool results);
    bool showsSearchResults() const { return searchResults_; }
    // Record number of the selected case node; -1 for the root, a category or no selection.
    int SelectedCaseNumber() const;
    // Writes "count" and the category texts in tree order (no message), in one rewrite.
    void SaveCategoryList();
    // Takes a category out of the settings' list (every entry equal to it), in one rewrite.
    void forgetCategory(const std::string& category);
    // Gives the list's entry `old` the text `text` (when the list has it and not yet `text`).
    void renameInList(const std::string& old, const std::string& text);
    // The texts of the category nodes, in tree order.
    std::vector<std::string> categoryTexts() const;
    // The newest 1000 record numbers, newest first (the start-up list).
    static std::vector<int> newestNumbers(int count);

    QTreeWidgetItem* root() const;
    QTreeWidgetItem* selected() const;
    // 0 root, 1 category, 2 case; -1 for none.
    static int levelOf(const QTreeWidgetItem* node);
    static std::string textOf(const QTreeWidgetItem* node);
    // The record number of a case node (the text after its last "|"), -1 for other nodes.
    static int numberOf(const QTreeWidgetItem* node);
    // The first category node whose text equals `category` (ASCII case ignored); null if none.
    QTreeWidgetItem* findCategory(const std::string& category) const;
    // Makes the case nodes of a category that has not been expanded yet.
    void materialize(QTreeWidgetItem* category);
    // The first case node, categories and cases in tree order, showing record `number`.
    QTreeWidgetItem* findCase(int number) const;
    QTreeWidgetItem* addCategory(const std::string& category);
    QTreeWidgetItem* addCase(QTreeWidgetItem* category, const CaseRecord& c, int number);
    // A case node with a given text and the image of the sex, the last of its category.
    QTreeWidgetItem* addCaseNode(QTreeWidgetItem* category, const std::string& text, bool male);
    // Sets a case node's text and image from a record.
    void showCase(QTreeWidgetItem* node, const CaseRecord& c, int number) const;
    void select(QTreeWidgetItem* node);
    // Expands or collapses a node with all its descendants.
    static void expandAll(QTreeWidgetItem* node, bool expand);
    // Deletes a node with its subtree.
    void remove(QTreeWidgetItem* node);

    const QIcon& image(TreeImage which) const { return images_[which]; }

private:
    MDataBase& db_;
    IniFile* settings_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    std::array<QIcon, 4> images_;
    // The cases of categories not expanded yet, in tree order: number and record.
    std::unordered_map<const QTreeWidgetItem*, std::vector<std::pair<int, CaseRecord>>> pending_;
    bool searchResults_ = false;
};
