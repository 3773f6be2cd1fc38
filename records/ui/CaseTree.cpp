#include "records/ui/CaseTree.h"

#include <QPainter>
#include <QStyle>
#include <QTreeWidget>

#include "platform/core/IniFile.h"
#include "platform/qt/Controls.h"
#include "records/CaseText.h"

namespace {
enum TreeImage { FemaleCase = 0, MaleCase = 1, CategoryImage = 2, RootImage = 3 };

// The tree's images, 16 x 16: female case, male case, category, root.
QIcon caseIcon(const QColor& c) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(c);
    p.setPen(c.darker(150));
    p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
    return QIcon(pm);
}
QIcon treeImage(const QWidget* w, int index) {
    switch (index) {
        case FemaleCase: return caseIcon(QColor(220, 90, 140));
        case MaleCase: return caseIcon(QColor(60, 110, 200));
        case CategoryImage: return w->style()->standardIcon(QStyle::SP_DirIcon);
        default: return w->style()->standardIcon(QStyle::SP_DirHomeIcon);
    }
}
}  // namespace

CaseTree::CaseTree(QWidget* parent, MDataBase& db) : QObject(parent), db_(db) {
    tree_ = new QTreeWidget(parent);
    tree_->setObjectName(QStringLiteral("Tree"));
    tree_->setAccessibleName(QStringLiteral("命例"));
    tree_->setHeaderHidden(true);
    tree_->setIndentation(19);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setMinimumWidth(30);
}

QTreeWidgetItem* CaseTree::root() const { return tree_->topLevelItem(0); }

QTreeWidgetItem* CaseTree::findCategory(const std::string& category) const {
    QTreeWidgetItem* r = root();
    if (!r) return nullptr;
    for (int i = 0; i < r->childCount(); ++i)
        if (sameCategory(r->child(i)->text(0).toStdString(), category)) return r->child(i);
    return nullptr;
}

QTreeWidgetItem* CaseTree::addCategory(const std::string& category) {
    auto* node = new QTreeWidgetItem(root(), QStringList(qs(category)));  // owned by the tree
    node->setIcon(0, treeImage(tree_, CategoryImage));
    return node;
}

QTreeWidgetItem* CaseTree::addCase(QTreeWidgetItem* category, const CaseRecord& c, int number) {
    auto* leaf = new QTreeWidgetItem(category, QStringList(qs(caseNodeText(c, number))));
    leaf->setIcon(0, treeImage(tree_, c.male ? MaleCase : FemaleCase));
    return leaf;
}

void CaseTree::BuildCaseTree(const std::vector<int>& numbers) {
    tree_->setUpdatesEnabled(false);
    tree_->clear();
    auto* r = new QTreeWidgetItem(tree_, QStringList(qs("命例")));
    r->setIcon(0, treeImage(tree_, RootImage));
    if (settings_) {
        const int count = settings_->readInteger("classes", "count", 0);
        for (int i = 1; i <= count; ++i) {
            const std::string name = settings_->readString("classes", std::to_string(i), "");
            if (!name.empty()) addCategory(name);
        }
    }
    db_.BeginScan();
    for (int n : numbers) {
        CaseRecord rec{};
        if (!db_.ReadScanned(n, rec)) continue;
        const std::string category = rec.categoryUtf8();
        QTreeWidgetItem* node = findCategory(category);
        if (!node) node = addCategory(category);
        addCase(node, rec, n);
    }
    db_.EndScan();
    r->setExpanded(true);
    tree_->setUpdatesEnabled(true);
}

int CaseTree::SelectedCaseNumber() const {
    const QTreeWidgetItem* node = tree_->currentItem();
    if (!node || !node->parent() || !node->parent()->parent()) return -1;
    return caseNumberOfNodeText(node->text(0).toStdString());
}

void CaseTree::SaveCategoryList() {
    if (!settings_) return;
    QTreeWidgetItem* r = root();
    const int count = r ? r->childCount() : 0;
    settings_->writeInteger("classes", "count", count);
    for (int i = 0; i < count; ++i)
        settings_->writeString("classes", std::to_string(i + 1), r->child(i)->text(0).toStdString());
}

std::vector<int> CaseTree::newestNumbers(int count) {
    std::vector<int> newest;
    for (int n = count - 1; n >= 0 && n >= count - 1000; --n) newest.push_back(n);
    return newest;
}
