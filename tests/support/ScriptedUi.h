// Scripted stand-in for the user-interface services: every call is recorded, every modal call
// takes the next queued answer, and a modal call with no answer queued (or an answer of another
// kind, or text other than the expected one) fails the running test. Printer, clipboard, clock and
// skinning engine are recording fakes.
#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/UiServices.h"

namespace testui {

enum class UiKind {
    MessageBox,
    PlainMessage,
    InputLine,
    OpenFile,
    SaveFile,
    SavePicture,
    ChooseFolder,
    ChooseFont,
    ChooseColor,
    PrintDialog,
    ModalWindow,
    ErrorBox,
    Choice,
};
const char* kindName(UiKind k);

struct UiCall {
    UiKind kind = UiKind::MessageBox;
    std::string text;     // message, prompt, filter or error text
    std::string caption;  // caption or dialog title
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    MsgResult defaultButton = MsgResult::Ok;
    FileDialogRequest file;  // file dialogs
    std::vector<std::string> answers;  // choice: the buttons' captions
    FontChoice font;         // font dialog: the pre-set values
    Rgb color;               // colour dialog: the pre-set colour
};

struct UiAnswer {
    UiKind kind = UiKind::MessageBox;
    std::optional<std::string> expectText;  // when set, the call's text must equal it
    MsgResult result = MsgResult::Ok;
    bool accepted = true;
    std::string text;  // input line, file path or folder
    int filterIndex = 1;
    FontChoice font;
    Rgb color;
    PageOrientation orientation = PageOrientation::Portrait;
    int choice = -1;  // choice: the button pressed
    // For a modal window: run with the window before the answer is given (fill its fields,
    // press its buttons through its handlers).
    std::function<void(ModalWindow&)> act;
};

class ScriptedPrinter : public Printer {
public:
    struct Draw {
        int left, top, right, bottom;
        int pictureWidth, pictureHeight;
    };
    void setOrientation(PageOrientation o) override { orientation_ = o; }
    PageOrientation orientation() const override { return orientation_; }
    int pageWidth() const override { return pageWidth_; }
    int pageHeight() const override { return pageHeight_; }
    void beginJob(const std::string& title) override;
    void stretchDraw(int left, int top, int right, int bottom, const Picture& picture) override;
    void endJob() override;
    void newPage() override { ++newPages; }

    int pageWidth_ = 4961;  // A4 at 600 dpi
    int pageHeight_ = 7016;
    bool failOnBegin = false;
    bool failOnDraw = false;
    std::vector<std::string> jobs;  // titles of the jobs begun
    std::vector<Draw> draws;
    int jobsEnded = 0;
    int newPages = 0;  // page breaks asked for

private:
    PageOrientation orientation_ = PageOrientation::Portrait;
};

class ScriptedClipboard : public Clipboard {
public:
    void setPicture(const Picture& picture) override { picture_ = picture; }
    void setText(const std::string& utf8) override { text_ = utf8; }
    std::string text() const override { return text_; }
    const Picture& picture() const { return picture_; }

private:
    Picture picture_;
    std::string text_;
};

class FixedClock : public Clock {
public:
    LocalMinute now() const override { return time; }
    LocalMinute time{2026, 5, 17, 14, 35};
};

class RecordingSkins : public SkinEngine {
public:
    bool loadSkinFile(const std::string& path) override;
    void activate() override { active_ = true; calls.push_back("activate"); }
    void deactivate() override { active_ = false; calls.push_back("deactivate"); }
    bool active() const override { return active_; }
    std::vector<std::string> calls;  // "load <path>", "activate", "deactivate"

private:
    bool active_ = false;
};

class ScriptedUi : public UiServices {
public:
    ScriptedUi() = default;
    // Fails the test when answers were queued that no call took.
    ~ScriptedUi() override;

    // Queueing answers. An expected text, when given, must equal the call's text.
    ScriptedUi& expectMessage(std::optional<std::string> text = std::nullopt);  // OK box
    ScriptedUi& answerYes(std::optional<std::string> text = std::nullopt);
    ScriptedUi& answerNo(std::optional<std::string> text = std::nullopt);
    // A choice question answered with the button `index` (-1: closed without an answer).
    ScriptedUi& answerChoice(int index, std::optional<std::string> text = std::nullopt);
    ScriptedUi& expectPlain(std::optional<std::string> text = std::nullopt);
    ScriptedUi& expectError(std::optional<std::string> text = std::nullopt);
    ScriptedUi& answerInput(std::string text);
    ScriptedUi& cancelInput();
    ScriptedUi& answerFile(UiKind kind, std::string path, int filterIndex = 1);
    ScriptedUi& cancelFile(UiKind kind);
    ScriptedUi& answerFolder(std::string path);
    ScriptedUi& cancelFolder();
    ScriptedUi& answerFont(FontChoice font);
    ScriptedUi& cancelFont();
    ScriptedUi& answerColor(Rgb c);
    ScriptedUi& cancelColor();
    ScriptedUi& answerPrint(PageOrientation chosen);
    ScriptedUi& cancelPrint();
    // A modal window titled `title` (checked when given) closes accepted or cancelled.
    ScriptedUi& answerModal(bool accepted, std::optional<std::string> title = std::nullopt,
                            std::function<void(ModalWindow&)> act = {});
    ScriptedUi& queue(UiAnswer a);

    const std::vector<UiCall>& calls() const { return calls_; }
    const UiCall& lastCall() const;
    std::size_t pending() const { return answers_.size(); }
    // Calls of one kind, in order.
    std::vector<UiCall> callsOf(UiKind kind) const;

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
    bool showModal(ModalWindow& window) override;
    Printer& printer() override { return printer_; }
    Clipboard& clipboard() override { return clipboard_; }
    const Clock& clock() const override { return clock_; }
    SkinEngine& skins() override { return skins_; }
    void showError(const std::string& message) override;
    std::string applicationTitle() const override { return "Tarmin天文占星 3.6"; }
    // Not modal: only recorded (-1 until set).
    void setHintReshowDelay(int milliseconds) override { hintReshowDelay = milliseconds; }
    int hintReshowDelay = -1;

    ScriptedPrinter printer_;
    ScriptedClipboard clipboard_;
    FixedClock clock_;
    RecordingSkins skins_;

private:
    // Records the call and takes the answer; nullopt (after a test failure) when none fits.
    std::optional<UiAnswer> take(UiCall call);
    FileDialogResult fileDialog(UiKind kind, const FileDialogRequest& request);

    std::vector<UiCall> calls_;
    std::deque<UiAnswer> answers_;
};

}  // namespace testui
