// The user-interface services the forms call: modal message boxes and standard dialogs, the
// printer, the clipboard, the clock, the skinning engine and the application's error box.
// Every modal call returns only after the user answered. Texts are UTF-8. The Qt implementation
// is QtUiServices; the tests answer through a scripted double.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/core/Canvas.h"
#include "platform/core/Clipboard.h"
#include "platform/core/Clock.h"
#include "platform/core/Printer.h"
#include "platform/core/RichText.h"
#include "platform/core/SkinEngine.h"

enum class MsgIcon { None, Information, Warning, Error };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No };

// A file dialog's set-up. The filter list pairs descriptions and patterns, all joined by
// vertical bars: "bmp格式|*.bmp|jpg格式|*.jpg". Filter indexes count from 1.
struct FileDialogRequest {
    std::string title;
    std::string filter;
    int filterIndex = 1;
    std::string initialName;
    std::string defaultExtension;  // without the dot; empty for none
    bool overwritePrompt = false;  // save dialogs only
    // One title per filter, when the title names the chosen format: it follows the filter.
    std::vector<std::string> filterTitles;
};

struct FileDialogResult {
    bool accepted = false;
    std::string path;     // as typed or chosen, UTF-8
    int filterIndex = 1;  // the filter chosen in the dialog
};

struct FontChoice {
    std::string name;
    int size = 10;  // points
    TextStyle style;
    Rgb color;
    // false: the caller uses face and size only, and the dialog offers nothing else.
    bool effects = true;
};

// A window of the program shown modally (a dialog form). The forms implement it; the services
// show it, so the tests answer for a dialog without running its event loop.
class ModalWindow {
public:
    virtual ~ModalWindow() = default;
    virtual std::string modalTitle() const = 0;
    // Runs the window until it closes; true when it was accepted (OK), false when cancelled.
    virtual bool execModal() = 0;
};

class UiServices {
public:
    virtual ~UiServices() = default;

    // Modal box; an empty caption shows the application title. Returns Ok for an OK box.
    virtual MsgResult messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                                 MsgButtons buttons, MsgResult defaultButton = MsgResult::Ok) = 0;
    // A question answered by one of its own buttons (captions in order, the first the default):
    // the index of the button pressed, or -1 when the box was closed without an answer.
    virtual int chooseAnswer(const std::string& text, const std::string& caption, MsgIcon icon,
                             const std::vector<std::string>& answers) = 0;
    // OK box without icon under the application title ("已保存！", "设置完成").
    virtual void plainMessage(const std::string& text) = 0;
    // One line of text, or nothing when cancelled.
    virtual std::optional<std::string> inputLine(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& initial) = 0;
    // Only existing files can be chosen.
    virtual FileDialogResult openFile(const FileDialogRequest& request) = 0;
    virtual FileDialogResult saveFile(const FileDialogRequest& request) = 0;
    virtual FileDialogResult savePicture(const FileDialogRequest& request) = 0;
    // A folder (the user may create one), or nothing when cancelled.
    virtual std::optional<std::string> chooseFolder(const std::string& title) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial) = 0;
    virtual std::optional<Rgb> chooseColor(Rgb initial) = 0;
    // Shows the print dialog for the printer; true when confirmed. The orientation the user
    // chose is then the printer's orientation.
    virtual bool printDialog(Printer& printer) = 0;
    // Shows one of the program's own dialogs modally; true when it was accepted.
    virtual bool showModal(ModalWindow& window) = 0;

    virtual Printer& printer() = 0;
    virtual Clipboard& clipboard() = 0;
    virtual const Clock& clock() const = 0;
    virtual SkinEngine& skins() = 0;

    // The application's standard error box: the message under the application title with the
    // error icon, for an error that escaped a command.
    virtual void showError(const std::string& message) = 0;
    virtual std::string applicationTitle() const = 0;
    // Once a tooltip has been shown, the next one (another text, the pointer at rest) waits
    // this many milliseconds before it appears; applies to every tooltip of the application.
    virtual void setHintReshowDelay(int milliseconds) = 0;
};
