// TFrmTxtHelp: the help window "软件帮助", three read-only, vertically scrolling pages. The
// texts are Markdown files in app/help/ compiled into the program as a Qt resource, so the window
// needs nothing on disk.
#pragma once
#include <QDialog>
#include <QString>

#include "platform/core/UiServices.h"

class QTabWidget;
class ScriptConverter;

class TFrmTxtHelp : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    // The pages are shown in the script's current script (as written without one).
    explicit TFrmTxtHelp(QWidget* parent = nullptr, ScriptConverter* script = nullptr);
    QTabWidget* pages() const { return pages_; }
    std::string modalTitle() const override { return windowTitle().toStdString(); }
    bool execModal() override { return exec() == QDialog::Accepted; }

    // The Markdown source of a page ("usage", "about", "history"); empty when it is missing.
    static QString pageSource(const char* name);

private:
    QTabWidget* pages_ = nullptr;
};
