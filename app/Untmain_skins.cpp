// TFrmMain: the skin menu built from skins/*.skn, restoring the chosen skin at start-up, and
// choosing a skin.
#include <QAction>
#include <QMenu>
#include <algorithm>
#include <filesystem>

#include "app/Untmain.h"

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
QString q(const char* s) { return QString::fromUtf8(s); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Skins

void TFrmMain::buildSkinMenu() {
    mnuSkins_->clear();
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::string> names;
    for (fs::directory_iterator it(programFolder_ + "skins", ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.extension() != ".skn" || !it->is_regular_file(ec)) continue;
        names.push_back(p.filename().string());
    }
    // A Linux directory lists in no useful order; by name, as the Windows listing came.
    std::sort(names.begin(), names.end());
    for (const std::string& file : names) {
        const std::string caption = file.substr(0, file.find('.'));
        QString shown = q(caption);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));  // no keyboard accelerators
        QAction* a = mnuSkins_->addAction(shown);
        a->setCheckable(true);
        a->setProperty("tag", 0);
        a->setProperty("caption", q(caption));
        connect(a, &QAction::triggered, this, [this, a] { guarded([this, a] { skinChosen(a); }); });
    }
    if (names.empty()) return;
    mnuSkins_->addSeparator();
    QAction* plain = mnuSkins_->addAction(q("系统默认"));
    plain->setCheckable(true);
    plain->setProperty("tag", 1);
    plain->setProperty("caption", q("系统默认"));
    connect(plain, &QAction::triggered, this,
            [this, plain] { guarded([this, plain] { skinChosen(plain); }); });
}

void TFrmMain::restoreSkin() {
    if (settingsFile_->readBool("window", "skined", false)) {
        const std::string name = settingsFile_->readString("window", "skinname", "Mx1");
        for (QAction* a : mnuSkins_->actions())
            if (!a->isSeparator()) a->setChecked(a->property("caption").toString() == q(name));
        // A missing skin file loads nothing; the platform look stays.
        if (ui_.skins().loadSkinFile(programFolder_ + "skins/" + name + ".skn"))
            ui_.skins().activate();
    } else {
        ui_.skins().deactivate();
        QList<QAction*> entries = mnuSkins_->actions();
        if (entries.size() >= 2) entries.back()->setChecked(true);
    }
}

void TFrmMain::SkinItemClick() { skinChosen(qobject_cast<QAction*>(sender())); }

void TFrmMain::skinChosen(QAction* chosen) {
    if (!chosen) return;
    for (QAction* a : mnuSkins_->actions())
        if (!a->isSeparator()) a->setChecked(a == chosen);
    if (chosen->property("tag").toInt() == 1) {
        ui_.skins().deactivate();
        update();
        settingsFile_->writeBool("window", "skined", false);
        return;
    }
    const std::string caption = chosen->property("caption").toString().toStdString();
    const std::string path = programFolder_ + "skins/" + caption + ".skn";
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec) && ui_.skins().loadSkinFile(path)) {
        ui_.skins().activate();
        IniUpdate update(*settingsFile_);  // both keys in one rewrite
        settingsFile_->writeString("window", "skinname", caption);
        settingsFile_->writeBool("window", "skined", true);
        update.commit();
    } else {
        ui_.plainMessage("对应的皮肤文件已经丢失，请关闭软件，再重新打开软件！");
    }
}
