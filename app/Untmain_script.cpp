// The interface's script, 选项 → 界面文字: 简体中文 (the program's own texts), 繁體中文（台灣）,
// 繁體中文（香港）. The choice applies at once to every open window, the chart (on screen and in
// its files) and the reading; it is kept in dat/zxinit.ini ([window] script; none means
// simplified). Texts the user typed and the files written keep their characters.
#include <QActionGroup>
#include <QListWidget>
#include <QMenu>
#include <QTreeWidget>

#include "app/Untmain.h"
#include "platform/core/Gbk.h"
#include "calendar/ui/Untwnl.h"
#include "records/ui/CaseTree.h"

namespace {
struct ScriptEntry {
    TextScript script;
    const char* caption;
    const char* name;
};
constexpr ScriptEntry kScriptEntries[] = {
    {TextScript::Simplified, "简体中文", "mnuScriptHans"},
    {TextScript::Taiwan, "繁體中文（台灣）", "mnuScriptTw"},
    {TextScript::HongKong, "繁體中文（香港）", "mnuScriptHk"},
};
}  // namespace

ScriptConverter& TFrmMain::script() { return *script_; }

// The names the user typed, whole and as the chart cuts them: drawn and read as written.
std::vector<std::string> TFrmMain::keptTexts() const {
    std::vector<std::string> kept;
    auto add = [&kept](const std::string& name) {
        if (name.empty()) return;
        kept.push_back(name);
        kept.push_back(gbk::cutUtf8(name, BirthRecord::kNameBytes));
    };
    if (engine_) add(engine_->request().name);
    add(birth_.name);
    for (const std::string& n : typedNames_) add(n);
    return kept;
}
TextScript TFrmMain::textScript() const { return script_->script(); }

void TFrmMain::buildScriptMenu(QMenu* options) {
    mnuScript_ = options->addMenu(QString::fromUtf8("界面文字"));
    mnuScript_->setObjectName(QStringLiteral("mnuScript"));
    auto* group = new QActionGroup(mnuScript_);
    for (const ScriptEntry& e : kScriptEntries) {
        QAction* a = mnuScript_->addAction(QString::fromUtf8(e.caption));
        a->setObjectName(QString::fromLatin1(e.name));
        a->setCheckable(true);
        a->setProperty("scriptFixed", true);
        a->setChecked(e.script == TextScript::Simplified);
        group->addAction(a);
        const TextScript s = e.script;
        connect(a, &QAction::triggered, this, [this, s] {
            guarded([&] {
                setTextScript(s);
                if (settingsFile_) settingsFile_->writeString("window", "script", textScriptKey(s));
            });
        });
    }
}

void TFrmMain::restoreTextScript() {
    // The reading's topics are the program's words and are looked up in the shown reading.
    LstTitle->setProperty("scriptItems", true);
    const TextScript s =
        textScriptFromKey(settingsFile_->readString("window", "script", textScriptKey(TextScript::Simplified)));
    if (s != TextScript::Simplified) setTextScript(s);
}

void TFrmMain::setTextScript(TextScript s) {
    if (mnuScript_)
        for (QAction* a : mnuScript_->actions())
            for (const ScriptEntry& e : kScriptEntries)
                if (a->objectName() == QLatin1String(e.name)) a->setChecked(e.script == s);
    const bool changed = s != script_->script();
    script_->setScript(s);
    if (changed) {
        // The chart, its reading and the calendar grid are drawn and written again in the new
        // script; the pass over the windows then takes the texts they set.
        if (engine_ && natalCast_) {
            redrawChart();
            describeChart();
        }
        if (wnl_) wnl_->setScript(script_.get());
        if (caseTree_) caseTree_->widget()->viewport()->update();
    }
    widgetScript_->setScript(s);
}
