#include "platform/qt/Controls.h"

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QToolButton>

#include "platform/qt/QImageCanvas.h"

QComboBox* fixedList(QWidget* parent, const char* name, const char* accessible) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(false);
    c->setMaxVisibleItems(24);
    // On Linux a combo box reports its current item as its name; the description carries the
    // list's own name so that a screen reader user and the end-to-end robot can tell lists apart.
    c->setAccessibleName(accessible ? qs(accessible) : QString::fromLatin1(name));
    c->setAccessibleDescription(c->accessibleName());
    return c;
}

void fillList(QComboBox* list, const std::vector<std::string>& items) {
    list->clear();
    for (const std::string& s : items) list->addItem(qs(s));
}

QToolButton* flatButton(QWidget* parent, const char* name, const char* caption, const char* hint) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoRaise(true);
    if (caption) b->setText(qs(caption));
    if (hint) {
        b->setToolTip(qs(hint));
        b->setAccessibleName(qs(hint));
    }
    return b;
}

QLabel* labelFor(QWidget* field, const char* text, QWidget* parent) {
    auto* l = new QLabel(qs(text), parent);
    l->setBuddy(field);
    field->setAccessibleName(qs(text));
    return l;
}

void nameControl(QWidget* control, const char* accessibleName) {
    control->setAccessibleName(qs(accessibleName));
}

void installFontSubstitutes() {
    const QString song = QImageCanvas::familyFor("宋体");
    for (const char* alias : {"宋体", "SimSun", "新宋体", "NSimSun"})
        QFont::insertSubstitution(qs(alias), song);
}
