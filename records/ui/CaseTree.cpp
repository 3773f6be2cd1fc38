#include "records/ui/CaseTree.h"

#include <iconv.h>

#include <QPainter>
#include <QPainterPath>
#include <QTreeWidget>
#include <unordered_map>

#include "platform/core/Gbk.h"
#include "platform/core/IniFile.h"
#include "platform/qt/Controls.h"
#include "records/CaseText.h"

namespace {
// ---------------------------------------------------------------------------------------------
// The four images, drawn here at 16 x 16: the female and male signs, a folder, a chart wheel.

QPixmap blankImage() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    return pm;
}

QPen strokePen(const QColor& c, double width = 1.7) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QIcon femaleImage() {
    QPixmap pm = blankImage();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor rose(200, 40, 110);
    p.setPen(strokePen(rose));
    p.setBrush(QColor(255, 225, 238));
    p.drawEllipse(QPointF(8, 5.5), 4.2, 4.2);
    p.drawLine(QPointF(8, 9.8), QPointF(8, 15));
    p.drawLine(QPointF(5.2, 12.5), QPointF(10.8, 12.5));
    return QIcon(pm);
}

QIcon maleImage() {
    QPixmap pm = blankImage();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor blue(25, 75, 190);
    p.setPen(strokePen(blue));
    p.setBrush(QColor(220, 232, 255));
    p.drawEllipse(QPointF(6.2, 9.8), 4.2, 4.2);
    p.drawLine(QPointF(9.2, 6.8), QPointF(14.3, 1.7));
    p.drawLine(QPointF(10.0, 1.7), QPointF(14.3, 1.7));
    p.drawLine(QPointF(14.3, 1.7), QPointF(14.3, 6.0));
    return QIcon(pm);
}

QIcon categoryImage() {
    QPixmap pm = blankImage();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath folder;
    folder.moveTo(1.5, 3.5);
    folder.lineTo(6.0, 3.5);
    folder.lineTo(7.5, 5.0);
    folder.lineTo(14.5, 5.0);
    folder.lineTo(14.5, 13.5);
    folder.lineTo(1.5, 13.5);
    folder.closeSubpath();
    p.setPen(strokePen(QColor(140, 95, 20), 1.0));
    p.setBrush(QColor(245, 200, 80));
    p.drawPath(folder);
    p.setBrush(QColor(252, 222, 125));
    p.drawRect(QRectF(1.5, 6.5, 13.0, 7.0));
    return QIcon(pm);
}

QIcon rootImage() {
    QPixmap pm = blankImage();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(70, 40, 140);
    p.setPen(strokePen(ink, 1.2));
    p.setBrush(QColor(240, 235, 255));
    p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
    p.drawEllipse(QPointF(8, 8), 2.6, 2.6);
    // Twelve houses: spokes from the inner to the outer circle.
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(8, 8);
        p.rotate(30.0 * i);
        p.drawLine(QPointF(2.6, 0), QPointF(6.8, 0));
        p.restore();
    }
    return QIcon(pm);
}

// Category texts compare by their GBK bytes with ASCII letters folded (a two-byte character
// compares whole): the key of that comparison.
std::string categoryKey(const std::string& gbkBytes) {
    std::string key = gbkBytes;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const auto c = static_cast<unsigned char>(key[i]);
        if (gbk::isLeadByte(c) && i + 1 < key.size()) {
            ++i;
            continue;
        }
        if (c >= 'A' && c <= 'Z') key[i] = static_cast<char>(c + 32);
    }
    return key;
}

// A node of the tree: its text and its image and nothing else. Keeping them in members instead
// of the general per-role value list halves the allocations of a node, which is most of the
// cost of a tree of many thousand cases.
class TreeNode : public QTreeWidgetItem {
public:
    TreeNode(QString text, const QIcon& image) : text_(std::move(text)), image_(&image) {}
    QVariant data(int column, int role) const override {
        if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole)) return text_;
        if (column == 0 && role == Qt::DecorationRole) return *image_;
        return QTreeWidgetItem::data(column, role);
    }
    void setData(int column, int role, const QVariant& value) override {
        if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole)) {
            text_ = value.toString();
            emitDataChanged();
            return;
        }
        if (column == 0 && role == Qt::DecorationRole) {
            own_ = value.value<QIcon>();
            image_ = &own_;
            emitDataChanged();
            return;
        }
        QTreeWidgetItem::setData(column, role, value);
    }
    void setImage(const QIcon& image) {
        image_ = &image;
        emitDataChanged();
    }

private:
    QString text_;
    const QIcon* image_;  // one of the tree's images, or own_
    QIcon own_;
};

// GBK to UTF-8 through one converter for a whole tree (opening a converter per name would cost
// more than everything else the build does). Texts the converter refuses go the general way.
class NameDecoder {
public:
    NameDecoder() : cd_(::iconv_open("UTF-8", "GBK")) {}
    ~NameDecoder() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) ::iconv_close(cd_);
    }
    NameDecoder(const NameDecoder&) = delete;
    NameDecoder& operator=(const NameDecoder&) = delete;

    std::string decode(const std::string& gbkBytes) {
        bool ascii = true;
        for (char ch : gbkBytes) ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
        if (ascii) return gbkBytes;
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return gbk::toUtf8(gbkBytes);
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char out[64];
        char* in = const_cast<char*>(gbkBytes.data());
        std::size_t inLeft = gbkBytes.size();
        char* o = out;
        std::size_t outLeft = sizeof out;
        if (::iconv(cd_, &in, &inLeft, &o, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
            return gbk::toUtf8(gbkBytes);
        return std::string(out, static_cast<std::size_t>(o - out));
    }

private:
    iconv_t cd_;
};
}  // namespace

CaseTree::CaseTree(QWidget* parent, MDataBase& db) : QObject(parent), db_(db) {
    tree_ = new QTreeWidget(parent);
    tree_->setObjectName(QStringLiteral("Tree"));
    tree_->setAccessibleName(QStringLiteral("命例"));
    tree_->setHeaderHidden(true);
    tree_->setIndentation(19);
    tree_->setIconSize(QSize(16, 16));
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setUniformRowHeights(true);
    tree_->setMinimumWidth(30);
    images_ = {femaleImage(), maleImage(), categoryImage(), rootImage()};
    connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) { materialize(node); });
}

void CaseTree::materialize(QTreeWidgetItem* category) {
    const auto found = pending_.find(category);
    if (found == pending_.end()) return;
    const std::vector<std::pair<int, CaseRecord>> cases = std::move(found->second);
    pending_.erase(found);
    NameDecoder decode;
    QList<QTreeWidgetItem*> leaves;
    leaves.reserve(static_cast<qsizetype>(cases.size()));
    for (const auto& [number, rec] : cases)
        leaves.append(new TreeNode(qs(caseNodeText(rec, number, decode.decode(rec.displayNameGbk()))),
                                   images_[rec.male ? MaleCase : FemaleCase]));
    category->addChildren(leaves);
    category->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

QTreeWidgetItem* CaseTree::root() const { return tree_->topLevelItem(0); }

void CaseTree::setSearchResults(bool results) {
    searchResults_ = results;
    if (QTreeWidgetItem* r = root()) r->setText(0, qs(results ? kSearchRootText : kRootText));
}
QTreeWidgetItem* CaseTree::selected() const { return tree_->currentItem(); }

int CaseTree::levelOf(const QTreeWidgetItem* node) {
    if (!node) return -1;
    int level = 0;
    for (const QTreeWidgetItem* p = node->parent(); p; p = p->parent()) ++level;
    return level;
}

std::string CaseTree::textOf(const QTreeWidgetItem* node) { return node->text(0).toStdString(); }

int CaseTree::numberOf(const QTreeWidgetItem* node) {
    if (levelOf(node) != CaseLevel) return -1;
    return caseNumberOfNodeText(textOf(node));
}

QTreeWidgetItem* CaseTree::findCategory(const std::string& category) const {
    QTreeWidgetItem* r = root();
    if (!r) return nullptr;
    for (int i = 0; i < r->childCount(); ++i)
        if (sameCategory(textOf(r->child(i)), category)) return r->child(i);
    return nullptr;
}

QTreeWidgetItem* CaseTree::findCase(int number) const {
    QTreeWidgetItem* r = root();
    if (!r || number < 0) return nullptr;
    for (int i = 0; i < r->childCount(); ++i) {
        QTreeWidgetItem* category = r->child(i);
        const auto waiting = pending_.find(category);
        if (waiting != pending_.end()) {
            bool listed = false;
            for (const auto& c : waiting->second) listed = listed || c.first == number;
            if (!listed) continue;
            const_cast<CaseTree*>(this)->materialize(category);
        }
        for (int j = 0; j < category->childCount(); ++j)
            if (numberOf(category->child(j)) == number) return category->child(j);
    }
    return nullptr;
}

QTreeWidgetItem* CaseTree::addCategory(const std::string& category) {
    auto* node = new TreeNode(qs(category), images_[CategoryImage]);
    root()->addChild(node);  // owned by the tree from here on
    return node;
}

QTreeWidgetItem* CaseTree::addCaseNode(QTreeWidgetItem* category, const std::string& text, bool male) {
    materialize(category);
    auto* leaf = new TreeNode(qs(text), images_[male ? MaleCase : FemaleCase]);
    category->addChild(leaf);
    return leaf;
}

QTreeWidgetItem* CaseTree::addCase(QTreeWidgetItem* category, const CaseRecord& c, int number) {
    return addCaseNode(category, caseNodeText(c, number), c.male != 0);
}

void CaseTree::showCase(QTreeWidgetItem* node, const CaseRecord& c, int number) const {
    node->setText(0, qs(caseNodeText(c, number)));
    if (auto* n = dynamic_cast<TreeNode*>(node))
        n->setImage(images_[c.male ? MaleCase : FemaleCase]);
    else
        node->setIcon(0, images_[c.male ? MaleCase : FemaleCase]);
}

void CaseTree::select(QTreeWidgetItem* node) {
    tree_->setCurrentItem(node);
    tree_->scrollToItem(node);
}

void CaseTree::expandAll(QTreeWidgetItem* node, bool expand) {
    if (!node) return;
    node->setExpanded(expand);
    for (int i = 0; i < node->childCount(); ++i) expandAll(node->child(i), expand);
}

void CaseTree::remove(QTreeWidgetItem* node) {
    pending_.erase(node);
    delete node;
}

void CaseTree::BuildCaseTree(const std::vector<int>& numbers) {
    tree_->setUpdatesEnabled(false);
    pending_.clear();
    tree_->clear();
    // The whole tree is put together detached and handed to the widget in one step: adding
    // nodes one by one to a shown tree costs a model notification each.
    auto* r = new TreeNode(qs(searchResults_ ? kSearchRootText : kRootText), images_[RootImage]);
    std::unordered_map<std::string, QTreeWidgetItem*> categories;
    auto addDetachedCategory = [&](const std::string& utf8, const std::string& key) {
        auto* node = new TreeNode(qs(utf8), images_[CategoryImage]);
        r->addChild(node);
        categories.emplace(key, node);  // the first of equal texts keeps the key
        return node;
    };
    if (settings_) {
        const int count = settings_->readInteger("classes", "count", 0);
        for (int i = 1; i <= count; ++i) {
            const std::string name = settings_->readString("classes", std::to_string(i), "");
            if (!name.empty()) addDetachedCategory(name, categoryKey(gbk::fromUtf8(name)));
        }
    }
    NameDecoder decode;
    std::vector<std::pair<int, CaseRecord>>* cases = nullptr;  // of the category met last
    QTreeWidgetItem* casesCategory = nullptr;
    db_.BeginScan();
    for (int n : numbers) {
        CaseRecord rec{};
        if (!db_.ReadScanned(n, rec)) continue;
        const std::string categoryGbk = rec.categoryGbk();
        const std::string key = categoryKey(categoryGbk);
        QTreeWidgetItem* node = nullptr;
        const auto found = categories.find(key);
        if (found != categories.end())
            node = found->second;
        else
            node = addDetachedCategory(decode.decode(categoryGbk), key);
        if (node != casesCategory) {
            casesCategory = node;
            cases = &pending_[node];
            node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        }
        cases->emplace_back(n, rec);
    }
    db_.EndScan();
    tree_->addTopLevelItem(r);
    r->setExpanded(true);
    tree_->setUpdatesEnabled(true);
}

int CaseTree::SelectedCaseNumber() const { return numberOf(tree_->currentItem()); }

void CaseTree::SaveCategoryList() {
    if (!settings_) return;
    QTreeWidgetItem* r = root();
    const int count = r ? r->childCount() : 0;
    IniUpdate update(*settings_);
    settings_->writeInteger("classes", "count", count);
    for (int i = 0; i < count; ++i)
        settings_->writeString("classes", std::to_string(i + 1), textOf(r->child(i)));
    update.commit();
}

void CaseTree::setSettings(IniFile* settings) {
    settings_ = settings;
    if (!settings_) return;
    try {
        for (const auto& [oldGbk, newGbk] : db_.FinishedCategoryRenames())
            renameInList(gbk::toUtf8(oldGbk), gbk::toUtf8(newGbk));
    } catch (const IniWriteError&) {
        // The list keeps the old name: an empty category beside the renamed one, no case lost.
    }
}

void CaseTree::renameInList(const std::string& old, const std::string& text) {
    if (!settings_) return;
    const int count = settings_->readInteger("classes", "count", 0);
    int found = 0;
    for (int i = 1; i <= count; ++i) {
        const std::string entry = settings_->readString("classes", std::to_string(i), "");
        if (sameCategory(entry, text)) return;
        if (!found && sameCategory(entry, old)) found = i;
    }
    if (found) settings_->writeString("classes", std::to_string(found), text);
}

void CaseTree::forgetCategory(const std::string& category) {
    if (!settings_) return;
    const int count = settings_->readInteger("classes", "count", 0);
    std::vector<std::string> kept;
    bool found = false;
    for (int i = 1; i <= count; ++i) {
        const std::string key = std::to_string(i);
        const std::string text = settings_->readString("classes", key, "");
        if (sameCategory(text, category))
            found = true;
        else if (!text.empty())
            kept.push_back(text);
    }
    if (!found) return;
    IniUpdate update(*settings_);
    settings_->writeInteger("classes", "count", static_cast<int32_t>(kept.size()));
    for (std::size_t i = 0; i < kept.size(); ++i)
        settings_->writeString("classes", std::to_string(i + 1), kept[i]);
    update.commit();
}

std::vector<std::string> CaseTree::categoryTexts() const {
    std::vector<std::string> out;
    QTreeWidgetItem* r = root();
    for (int i = 0; r && i < r->childCount(); ++i) out.push_back(textOf(r->child(i)));
    return out;
}

std::vector<int> CaseTree::newestNumbers(int count) {
    std::vector<int> newest;
    for (int n = count - 1; n >= 0 && n >= count - 1000; --n) newest.push_back(n);
    return newest;
}
