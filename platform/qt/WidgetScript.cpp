#include "platform/qt/WidgetScript.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTextEdit>
#include <QTimer>
#include <QVariant>
#include <functional>

namespace {
constexpr int kSourceRole = Qt::UserRole + 0x2901;
constexpr int kShownRole = Qt::UserRole + 0x2902;

// One text of an object: the source kept in the property "script.<key>", what was last set in
// "script.<key>.shown".
class Follow {
public:
    explicit Follow(ScriptConverter& script) : script_(script) {}

    void text(QObject* o, const char* key, const QString& current,
              const std::function<void(const QString&)>& set) {
        const QByteArray sk = QByteArray("script.") + key;
        const QByteArray wk = sk + ".shown";
        const QVariant kept = o->property(sk.constData());
        if (!kept.isValid() && script_.script() == TextScript::Simplified) return;
        if (current.isEmpty() && !kept.isValid()) return;
        QString source = current;
        if (kept.isValid() && o->property(wk.constData()).toString() == current)
            source = kept.toString();
        const QString target = convert(source);
        if (target != current) set(target);
        o->setProperty(sk.constData(), source);
        o->setProperty(wk.constData(), target);
    }

    QString convert(const QString& source) {
        if (source.isEmpty() || script_.script() == TextScript::Simplified) return source;
        return QString::fromStdString(script_.shown(source.toStdString()));
    }

    void items(QComboBox* c) {
        for (int i = 0; i < c->count(); ++i) {
            const QString current = c->itemText(i);
            const QVariant kept = c->itemData(i, kSourceRole);
            if (!kept.isValid() && script_.script() == TextScript::Simplified) continue;
            QString source = current;
            if (kept.isValid() && c->itemData(i, kShownRole).toString() == current)
                source = kept.toString();
            const QString target = convert(source);
            if (target != current) c->setItemText(i, target);
            c->setItemData(i, source, kSourceRole);
            c->setItemData(i, target, kShownRole);
        }
    }

    void items(QListWidget* l) {
        for (int i = 0; i < l->count(); ++i) {
            QListWidgetItem* it = l->item(i);
            const QString current = it->text();
            const QVariant kept = it->data(kSourceRole);
            if (!kept.isValid() && script_.script() == TextScript::Simplified) continue;
            QString source = current;
            if (kept.isValid() && it->data(kShownRole).toString() == current)
                source = kept.toString();
            const QString target = convert(source);
            if (target != current) it->setText(target);
            it->setData(kSourceRole, source);
            it->setData(kShownRole, target);
        }
    }

    void action(QAction* a) {
        // Entries that name a script show their name as written in it.
        if (a->isSeparator() || a->property("scriptFixed").toBool()) return;
        text(a, "text", a->text(), [a](const QString& t) { a->setText(t); });
        text(a, "tip", a->toolTip(), [a](const QString& t) { a->setToolTip(t); });
        text(a, "status", a->statusTip(), [a](const QString& t) { a->setStatusTip(t); });
    }

    void widget(QWidget* w) {
        if (w->isWindow())
            text(w, "title", w->windowTitle(), [w](const QString& t) { w->setWindowTitle(t); });
        text(w, "tip", w->toolTip(), [w](const QString& t) { w->setToolTip(t); });
        text(w, "name", w->accessibleName(), [w](const QString& t) { w->setAccessibleName(t); });
        text(w, "description", w->accessibleDescription(),
             [w](const QString& t) { w->setAccessibleDescription(t); });
        text(w, "status", w->statusTip(), [w](const QString& t) { w->setStatusTip(t); });
        if (auto* l = qobject_cast<QLabel*>(w)) {
            text(w, "text", l->text(), [l](const QString& t) { l->setText(t); });
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            text(w, "text", b->text(), [b](const QString& t) { b->setText(t); });
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            text(w, "text", g->title(), [g](const QString& t) { g->setTitle(t); });
        } else if (auto* m = qobject_cast<QMenu*>(w)) {
            text(w, "text", m->title(), [m](const QString& t) { m->setTitle(t); });
        } else if (auto* tb = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tb->count(); ++i) {
                const QByteArray key = "tab" + QByteArray::number(i);
                text(w, key.constData(), tb->tabText(i),
                     [tb, i](const QString& t) { tb->setTabText(i, t); });
            }
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            // The file dialog's lists stand for folders and filters it reads back: left alone.
            if (!c->isEditable() && !qobject_cast<QFileDialog*>(c->window())) items(c);
        } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
            text(w, "placeholder", e->placeholderText(),
                 [e](const QString& t) { e->setPlaceholderText(t); });
        } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
            if (p->isReadOnly())
                text(w, "text", p->toPlainText(), [p](const QString& t) { p->setPlainText(t); });
        } else if (auto* te = qobject_cast<QTextEdit*>(w)) {
            // Read-only memos of plain text only: rich texts (the reading, the comment) have
            // their own path or belong to the user.
            if (te->isReadOnly() && !te->acceptRichText())
                text(w, "text", te->toPlainText(), [te](const QString& t) { te->setPlainText(t); });
        } else if (auto* lw = qobject_cast<QListWidget*>(w)) {
            // Only the lists that say they hold the program's own words.
            if (lw->property("scriptItems").toBool()) items(lw);
        }
        for (QAction* a : w->actions()) action(a);
    }

private:
    ScriptConverter& script_;
};
}  // namespace

WidgetScript::WidgetScript(ScriptConverter& script, QObject* parent)
    : QObject(parent), script_(script) {
    active_ = script_.script() != TextScript::Simplified;
    if (qApp) qApp->installEventFilter(this);
}

WidgetScript::~WidgetScript() {
    if (qApp) qApp->removeEventFilter(this);
}

void WidgetScript::setScript(TextScript s) {
    script_.setScript(s);
    if (s != TextScript::Simplified) active_ = true;
    applyAll();
}

void WidgetScript::apply(QWidget* root) {
    if (!root) return;
    Follow f(script_);
    f.widget(root);
    for (QWidget* w : root->findChildren<QWidget*>()) f.widget(w);
}

void WidgetScript::applyAll() {
    pending_ = false;
    if (!active_) return;
    for (QWidget* w : QApplication::topLevelWidgets()) apply(w);
}

void WidgetScript::schedule() {
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (pending_) applyAll();
    });
}

bool WidgetScript::eventFilter(QObject* watched, QEvent* event) {
    if (!active_) return false;
    switch (event->type()) {
    case QEvent::Show:
        // A window converts before it is painted; its children come with it.
        if (auto* w = qobject_cast<QWidget*>(watched); w && w->isWindow()) apply(w);
        schedule();
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ActionAdded:
    case QEvent::ActionChanged:
        schedule();
        break;
    default: break;
    }
    return false;
}

QString sourceText(const QComboBox* combo, int index) {
    const QVariant kept = combo->itemData(index, kSourceRole);
    if (kept.isValid() && combo->itemData(index, kShownRole).toString() == combo->itemText(index))
        return kept.toString();
    return combo->itemText(index);
}

QString sourceText(const QComboBox* combo) {
    if (combo->currentIndex() < 0) return combo->currentText();
    return sourceText(combo, combo->currentIndex());
}
