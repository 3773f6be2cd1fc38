#include "records/ui/CaseTreeScript.h"

CaseTreeScript::CaseTreeScript(ScriptConverter& script, QObject* parent)
    : QStyledItemDelegate(parent), script_(script) {}

void CaseTreeScript::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (script_.script() == TextScript::Simplified || option->text.isEmpty()) return;
    const auto shown = [this](const QString& s) {
        return QString::fromStdString(script_.shown(s.toStdString()));
    };
    if (!index.parent().isValid()) {
        option->text = shown(option->text);  // the root
    } else if (index.parent().parent().isValid()) {
        // A case: the name, two spaces, then the calendar mark and the date.
        const qsizetype at = option->text.lastIndexOf(QStringLiteral("  "));
        if (at >= 0) option->text = option->text.left(at) + shown(option->text.mid(at));
    }
}
