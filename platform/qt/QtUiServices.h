// The user-interface services over Qt's standard dialogs, QPrinter, the system clipboard and
// the local clock. Dialogs are modal to the active window, or to the parent window given by
// setParentWindow when none is active.
#pragma once
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtSkinEngine.h"
#include "platform/core/TextScript.h"
#include "platform/core/UiServices.h"

class QtClipboard : public Clipboard {
public:
    void setPicture(const Picture& picture) override;
    void setText(const std::string& utf8) override;
    std::string text() const override;
};

class QtClock : public Clock {
public:
    LocalMinute now() const override;
};

class QtUiServices : public UiServices {
public:
    explicit QtUiServices(std::string applicationTitle);
    void setParentWindow(QWidget* w) { parent_ = w; }
    // Messages, captions, prompts and dialog titles are shown in this converter's script (the
    // texts as given when none is set). Paths and the texts typed in stay as they are.
    void setScript(ScriptConverter* script) { script_ = script; }

    MsgResult messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons, MsgResult defaultButton) override;
    int chooseAnswer(const std::string& text, const std::string& caption, MsgIcon icon,
                     const std::vector<std::string>& answers) override;
    void plainMessage(const std::string& text) override;
    std::optional<std::string> inputLine(const std::string& caption, const std::string& prompt,
                                         const std::string& initial) override;
    FileDialogResult openFile(const FileDialogRequest& request) override;
    FileDialogResult saveFile(const FileDialogRequest& request) override;
    FileDialogResult savePicture(const FileDialogRequest& request) override;
    std::optional<std::string> chooseFolder(const std::string& title) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;
    std::optional<Rgb> chooseColor(Rgb initial) override;
    bool printDialog(Printer& printer) override;
    bool showModal(ModalWindow& window) override { return window.execModal(); }
    Printer& printer() override { return printer_; }
    Clipboard& clipboard() override { return clipboard_; }
    const Clock& clock() const override { return clock_; }
    SkinEngine& skins() override { return skins_; }
    void showError(const std::string& message) override;
    std::string applicationTitle() const override { return title_; }
    void setHintReshowDelay(int milliseconds) override;

    // "desc|pattern|desc|pattern" as Qt name filters "desc (pattern)"; ';' between patterns
    // becomes a blank.
    static QStringList nameFilters(const std::string& filter);

private:
    class HintReshow;
    FileDialogResult fileDialog(const FileDialogRequest& request, bool save);
    QWidget* owner() const;

    QString shown(const std::string& text) const;

    std::string title_;
    QPointer<QWidget> parent_;
    ScriptConverter* script_ = nullptr;
    QtPrinter printer_;
    QtClipboard clipboard_;
    QtClock clock_;
    QtSkinEngine skins_;
    QPointer<QObject> hintReshow_;  // a HintReshow owned by the application object
};
