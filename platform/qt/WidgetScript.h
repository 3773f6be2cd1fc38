// Shows the program's windows in the script of a converter: window titles, captions, menus,
// tooltips, accessible names, fixed lists and read-only memos. Each converted text keeps its
// simplified source beside it, so switching back restores it and a text the program sets
// anew is taken as the new source. Fields the user types in (line edits, editable lists, the
// comment and the reading's editor) are never touched. Windows shown later, and texts the
// program changes, follow at once after the event that showed or changed them. A menu entry with
// the property "scriptFixed" keeps its caption (the names of the scripts themselves).
#pragma once
#include <QObject>
#include <QString>

#include "platform/core/TextScript.h"

class QComboBox;
class QWidget;

class WidgetScript : public QObject {
    Q_OBJECT
public:
    // Watches the application's windows from now on (an event filter on the application).
    explicit WidgetScript(ScriptConverter& script, QObject* parent = nullptr);
    ~WidgetScript() override;

    ScriptConverter& script() { return script_; }
    // Sets the script and shows every open window in it.
    void setScript(TextScript s);
    // Shows every open window (or one window and its children) in the current script.
    void applyAll();
    void apply(QWidget* root);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule();

    ScriptConverter& script_;
    bool active_ = false;  // a script other than simplified was used: passes are needed
    bool pending_ = false;
};

// The item's text as the program wrote it (simplified), whatever script the list shows.
QString sourceText(const QComboBox* combo, int index);
QString sourceText(const QComboBox* combo);
