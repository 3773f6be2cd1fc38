#include "platform/qt/DialogKeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPointer>
#include <QRadioButton>

namespace {
class DialogKeys : public QObject {
public:
    explicit DialogKeys(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        const auto* k = static_cast<QKeyEvent*>(e);
        return pressFocusedButton(o, k->key(), static_cast<int>(k->modifiers()));
    }
};

QPointer<QObject> installed;
}  // namespace

bool pressFocusedButton(QObject* receiver, int key, int modifiers) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    if ((modifiers & ~static_cast<int>(Qt::KeypadModifier)) != 0) return false;
    auto* button = qobject_cast<QAbstractButton*>(receiver);
    if (!button || button->window()->focusWidget() != button || !button->isEnabled() || !button->isVisible()) return false;
    // A check box or radio button is a field of the form: Enter there means "done", the window's
    // default button.
    if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button)) return false;
    button->click();
    return true;
}

void installDialogKeys() {
    if (installed || !qApp) return;
    installed = new DialogKeys(qApp);
    qApp->installEventFilter(installed);
}
