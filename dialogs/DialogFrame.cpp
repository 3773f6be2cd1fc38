#include "dialogs/DialogFrame.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

QFont songFont(double points, bool bold) {
    QFont f(QStringLiteral("宋体"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void fixAndCentre(QDialog* dialog) {
    if (QLayout* l = dialog->layout()) l->setSizeConstraint(QLayout::SetFixedSize);
    dialog->adjustSize();
    dialog->setFixedSize(dialog->size());
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect r = s->availableGeometry();
        dialog->move(r.x() + (r.width() - dialog->width()) / 2,
                     r.y() + (r.height() - dialog->height()) / 2);
    }
}
