// The record tree's context menu: its entries, the enabling done when the right button goes
// down (before the menu shows; the row under the pointer becomes the selected one, so every
// entry acts on the row right-clicked), the "移动到" submenu, search, show all, expand and
// collapse, and double-click.
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidget>

#include "platform/qt/Controls.h"
#include "records/ui/CaseCommands.h"
#include "records/ui/Untsearch.h"

template <class F>
void CaseCommands::guarded(F&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        ui_.showError(e.what());
    } catch (...) {
        ui_.showError(std::string());
    }
}

CaseCommands::CaseCommands(UiServices& ui, MDataBase& db, CaseHost& host, CaseTree& tree)
    : QObject(&tree), ui_(ui), db_(db), host_(host), tree_(tree) {
    buildMenu();
    QTreeWidget* w = tree_.widget();
    // The menu is ours: the right button goes down, the row under it is selected, the entries
    // are set for it and the menu pops up. Below the last row the selection stays.
    w->setContextMenuPolicy(Qt::PreventContextMenu);
    w->viewport()->installEventFilter(this);
    w->installEventFilter(this);
    connect(w, &QTreeWidget::itemDoubleClicked, this, [this] { guarded([this] { openCase(); }); });
}

void CaseCommands::buildMenu() {
    QWidget* w = tree_.widget();
    menu_ = new QMenu(w);
    menu_->setObjectName(QStringLiteral("PopTree"));
    menu_->setAccessibleName(qs("命例菜单"));
    auto add = [this](QMenu* m, const char* caption, const char* name, void (CaseCommands::*command)()) {
        QAction* a = m->addAction(qs(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, command] { guarded([&] { (this->*command)(); }); });
        return a;
    };
    actView_ = add(menu_, "查看命例", "PopView", &CaseCommands::openCase);
    auto pair = [this](const char* caption, const char* name, charttypes::Kind kind) {
        QAction* a = menu_->addAction(qs(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, kind] { guarded([&] { pairWithCase(kind); }); });
        return a;
    };
    actSynastry_ = pair("与当前盘合盘", "PopSynastry", charttypes::Kind::Synastry);
    actComposite_ = pair("组合盘", "PopComposite", charttypes::Kind::Composite);
    actDavison_ = pair("时空中点盘", "PopDavison", charttypes::Kind::Davison);
    actForecast_ = add(menu_, "行运与天象", "PopForecast", &CaseCommands::forecastCase);
    moveMenu_ = menu_->addMenu(qs("移动到"));
    moveMenu_->setObjectName(QStringLiteral("PopMoveTo"));
    moveMenu_->setAccessibleName(qs("移动到"));
    actMove_ = moveMenu_->menuAction();
    actMove_->setObjectName(QStringLiteral("PopMove"));
    actDelete_ = add(menu_, "删除命例", "PopDelete", &CaseCommands::deleteCase);
    menu_->addSeparator();
    actAddCategory_ = add(menu_, "增加类别", "PopAddClass", &CaseCommands::addCategory);
    actRenameCategory_ = add(menu_, "修改类名", "PopRenameClass", &CaseCommands::renameCategory);
    actDeleteCategory_ = add(menu_, "删除类别", "PopDeleteClass", &CaseCommands::deleteCategory);
    actSaveCategories_ = add(menu_, "保存类别", "PopSaveClasses", &CaseCommands::saveCategories);
    menu_->addSeparator();
    actSearch_ = add(menu_, "查找", "PopSearch", &CaseCommands::search);
    actShowAll_ = add(menu_, "显示全部命例", "PopShowAll", &CaseCommands::showAllCases);
    menu_->addSeparator();
    actExpand_ = add(menu_, "展开", "PopExpand", &CaseCommands::expandSelected);
    actCollapse_ = add(menu_, "收缩", "PopCollapse", &CaseCommands::collapseSelected);
}

bool CaseCommands::eventFilter(QObject* watched, QEvent* event) {
    // Only mouse and key events are looked at: the tree also sends events while it is being
    // destroyed, when it may no longer be asked for its viewport.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::KeyPress)
        return false;
    QTreeWidget* w = tree_.widget();
    if (watched == w->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::RightButton) return false;
        if (QTreeWidgetItem* hit = w->itemAt(e->position().toPoint())) w->setCurrentItem(hit);
        updateMenu();
        menu_->popup(e->globalPosition().toPoint());
        return true;
    }
    if (watched == w->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* e = static_cast<QMouseEvent*>(event);
        return e->button() == Qt::RightButton;
    }
    // The menu key (no mouse): the same menu at the selected node.
    if (watched == w && event->type() == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(event);
        if (e->key() == Qt::Key_Menu || (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier)) {
            updateMenu();
            QPoint at(0, 0);
            if (QTreeWidgetItem* node = tree_.selected()) at = w->visualItemRect(node).bottomLeft();
            menu_->popup(w->viewport()->mapToGlobal(at));
            return true;
        }
    }
    return false;
}

void CaseCommands::updateMenu() {
    QTreeWidgetItem* node = tree_.selected();
    const int level = CaseTree::levelOf(node);
    if (level < 0) return;
    const bool isCase = level == CaseTree::CaseLevel;
    const bool isCategory = level == CaseTree::CategoryLevel;
    actView_->setEnabled(isCase);
    for (QAction* a : {actSynastry_, actComposite_, actDavison_}) a->setEnabled(isCase && host_.natalCast());
    actForecast_->setEnabled(isCase);
    actMove_->setEnabled(isCase);
    actDelete_->setEnabled(isCase);
    actAddCategory_->setEnabled(true);
    actRenameCategory_->setEnabled(isCategory);
    actDeleteCategory_->setEnabled(isCategory);
    actSaveCategories_->setEnabled(true);
    actSearch_->setEnabled(true);
    actShowAll_->setEnabled(true);
    actExpand_->setEnabled(!isCase);
    actCollapse_->setEnabled(!isCase);
    if (!isCase) return;
    // Every category but the case's own, in tree order; the tag is the category's position.
    moveMenu_->clear();
    QTreeWidgetItem* root = tree_.root();
    for (int i = 0; i < root->childCount(); ++i) {
        QTreeWidgetItem* category = root->child(i);
        if (category == node->parent()) continue;
        QString caption = category->text(0);
        QAction* a = moveMenu_->addAction(caption.replace(QLatin1Char('&'), QStringLiteral("&&")));
        a->setData(i);
        a->setProperty("category", category->text(0));
        connect(a, &QAction::triggered, this, [this, a] { guarded([this, a] { moveTo(a); }); });
    }
}

void CaseCommands::moveTo(QAction* entry) {
    QTreeWidgetItem* node = tree_.selected();
    if (!entry || CaseTree::levelOf(node) != CaseTree::CaseLevel) return;
    QTreeWidgetItem* target = tree_.root()->child(entry->data().toInt());
    if (!target) return;
    const int number = CaseTree::numberOf(node);
    if (blockedForRestart() || !numbersCurrent()) return;
    CaseRecord rec{};
    if (!db_.ReadRecord(number, rec)) return;  // deleted meanwhile: nothing to move
    // A category longer than the record's 13 bytes (a hand-edited settings file) is cut at a
    // character boundary; the node goes under the chosen category all the same.
    const std::string category = entry->property("category").toString().toStdString();
    rec.setCategory(category);
    if (!db_.WriteRecord(number, rec)) {
        ui_.messageBox("命例没有移动：记录文件无法写入。", "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    const std::string text = CaseTree::textOf(node);
    tree_.remove(node);
    tree_.addCaseNode(target, text, rec.male != 0);
    if (host_.caseOpen() && number == openCaseNumber_) host_.workingCase().setCategory(category);
}

void CaseCommands::search() {
    if (blockedForRestart()) return;
    TFrmSearch dlg(ui_, db_, tree_.settings(), host_.caseFilter());
    ui_.showModal(dlg);
    if (dlg.resultFlag() != 1) return;
    tree_.setSearchResults(true);
    tree_.BuildCaseTree(dlg.results());
}

void CaseCommands::showAllCases() {
    if (blockedForRestart()) return;
    if (db_.Count() == 0) {
        ui_.plainMessage("没有记录，无从查找。");
        return;
    }
    std::vector<int> all;
    db_.Find(CaseFilter{}, all);  // every test off; the remembered search stays as it was
    if (all.empty()) {
        ui_.messageBox("没有找到符合条件的命例。", "信息", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    tree_.setSearchResults(false);
    tree_.BuildCaseTree(all);
}

void CaseCommands::expandSelected() {
    QTreeWidgetItem* node = tree_.selected();
    if (CaseTree::levelOf(node) == CaseTree::RootLevel || CaseTree::levelOf(node) == CaseTree::CategoryLevel)
        CaseTree::expandAll(node, true);
}

void CaseCommands::collapseSelected() {
    QTreeWidgetItem* node = tree_.selected();
    if (CaseTree::levelOf(node) == CaseTree::RootLevel || CaseTree::levelOf(node) == CaseTree::CategoryLevel)
        CaseTree::expandAll(node, false);
}

bool CaseCommands::numbersCurrent() {
    if (db_.RecordNumbersCurrent()) return true;
    ui_.messageBox("记录文件已被整理或导入，命例列表已经过时，请重启软件！", "提示", MsgIcon::Warning,
                   MsgButtons::Ok);
    return false;
}
