// The record tree in the interface's script: the root's caption and the calendar marks of the
// case nodes (公, 农, 闰) are drawn converted; the names and categories the user typed are drawn
// as typed. The nodes keep their texts, so everything that reads them is unchanged.
#pragma once
#include <QStyledItemDelegate>

#include "platform/core/TextScript.h"

class CaseTreeScript : public QStyledItemDelegate {
public:
    CaseTreeScript(ScriptConverter& script, QObject* parent);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    ScriptConverter& script_;
};
