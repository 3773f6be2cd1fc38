#include "tests/support/ScriptedUi.h"

#include <fstream>

#include <gtest/gtest.h>

namespace testui {

const char* kindName(UiKind k) {
    switch (k) {
        case UiKind::MessageBox: return "message box";
        case UiKind::PlainMessage: return "plain message";
        case UiKind::InputLine: return "line input";
        case UiKind::OpenFile: return "file open";
        case UiKind::SaveFile: return "file save";
        case UiKind::SavePicture: return "picture save";
        case UiKind::ChooseFolder: return "folder chooser";
        case UiKind::ChooseFont: return "font dialog";
        case UiKind::ChooseColor: return "colour dialog";
        case UiKind::PrintDialog: return "print dialog";
        case UiKind::ModalWindow: return "modal window";
        case UiKind::ErrorBox: return "error box";
        case UiKind::Choice: return "choice question";
    }
    return "?";
}

void ScriptedPrinter::beginJob(const std::string& title) {
    if (failOnBegin) throw PrinterError("printer not ready");
    jobs.push_back(title);
}
void ScriptedPrinter::stretchDraw(int left, int top, int right, int bottom, const Picture& p) {
    if (failOnDraw) throw PrinterError("printer stopped");
    draws.push_back({left, top, right, bottom, p.width, p.height});
}
void ScriptedPrinter::endJob() { ++jobsEnded; }

bool RecordingSkins::loadSkinFile(const std::string& path) {
    calls.push_back("load " + path);
    // Like the real engine: a file that cannot be read loads nothing.
    return std::ifstream(path, std::ios::binary).good();
}

ScriptedUi::~ScriptedUi() {
    for (const auto& a : answers_)
        ADD_FAILURE() << "queued answer for a " << kindName(a.kind) << " was never asked for"
                      << (a.expectText ? " (\"" + *a.expectText + "\")" : std::string());
}

ScriptedUi& ScriptedUi::queue(UiAnswer a) {
    answers_.push_back(std::move(a));
    return *this;
}

namespace {
UiAnswer answerOf(UiKind k, std::optional<std::string> text = std::nullopt) {
    UiAnswer a;
    a.kind = k;
    a.expectText = std::move(text);
    return a;
}
}  // namespace

ScriptedUi& ScriptedUi::expectMessage(std::optional<std::string> text) {
    UiAnswer a = answerOf(UiKind::MessageBox, std::move(text));
    a.result = MsgResult::Ok;
    return queue(a);
}
ScriptedUi& ScriptedUi::answerYes(std::optional<std::string> text) {
    UiAnswer a = answerOf(UiKind::MessageBox, std::move(text));
    a.result = MsgResult::Yes;
    return queue(a);
}
ScriptedUi& ScriptedUi::answerNo(std::optional<std::string> text) {
    UiAnswer a = answerOf(UiKind::MessageBox, std::move(text));
    a.result = MsgResult::No;
    return queue(a);
}
ScriptedUi& ScriptedUi::answerChoice(int index, std::optional<std::string> text) {
    UiAnswer a = answerOf(UiKind::Choice, std::move(text));
    a.choice = index;
    return queue(a);
}
ScriptedUi& ScriptedUi::expectPlain(std::optional<std::string> text) {
    return queue(answerOf(UiKind::PlainMessage, std::move(text)));
}
ScriptedUi& ScriptedUi::expectError(std::optional<std::string> text) {
    return queue(answerOf(UiKind::ErrorBox, std::move(text)));
}
ScriptedUi& ScriptedUi::answerInput(std::string text) {
    UiAnswer a = answerOf(UiKind::InputLine);
    a.text = std::move(text);
    return queue(a);
}
ScriptedUi& ScriptedUi::cancelInput() {
    UiAnswer a = answerOf(UiKind::InputLine);
    a.accepted = false;
    return queue(a);
}
ScriptedUi& ScriptedUi::answerFile(UiKind kind, std::string path, int filterIndex) {
    UiAnswer a = answerOf(kind);
    a.text = std::move(path);
    a.filterIndex = filterIndex;
    return queue(a);
}
ScriptedUi& ScriptedUi::cancelFile(UiKind kind) {
    UiAnswer a = answerOf(kind);
    a.accepted = false;
    return queue(a);
}
ScriptedUi& ScriptedUi::answerFolder(std::string path) {
    UiAnswer a = answerOf(UiKind::ChooseFolder);
    a.text = std::move(path);
    return queue(a);
}
ScriptedUi& ScriptedUi::cancelFolder() {
    UiAnswer a = answerOf(UiKind::ChooseFolder);
    a.accepted = false;
    return queue(a);
}
ScriptedUi& ScriptedUi::answerFont(FontChoice font) {
    UiAnswer a = answerOf(UiKind::ChooseFont);
    a.font = std::move(font);
    return queue(a);
}
ScriptedUi& ScriptedUi::cancelFont() {
    UiAnswer a = answerOf(UiKind::ChooseFont);
    a.accepted = false;
    return queue(a);
}
ScriptedUi& ScriptedUi::answerColor(Rgb c) {
    UiAnswer a = answerOf(UiKind::ChooseColor);
    a.color = c;
    return queue(a);
}
ScriptedUi& ScriptedUi::cancelColor() {
    UiAnswer a = answerOf(UiKind::ChooseColor);
    a.accepted = false;
    return queue(a);
}
ScriptedUi& ScriptedUi::answerPrint(PageOrientation chosen) {
    UiAnswer a = answerOf(UiKind::PrintDialog);
    a.orientation = chosen;
    return queue(a);
}
ScriptedUi& ScriptedUi::cancelPrint() {
    UiAnswer a = answerOf(UiKind::PrintDialog);
    a.accepted = false;
    return queue(a);
}

ScriptedUi& ScriptedUi::answerModal(bool accepted, std::optional<std::string> title,
                                    std::function<void(ModalWindow&)> act) {
    UiAnswer a = answerOf(UiKind::ModalWindow, std::move(title));
    a.accepted = accepted;
    a.act = std::move(act);
    return queue(a);
}

const UiCall& ScriptedUi::lastCall() const {
    static const UiCall none;
    if (calls_.empty()) {
        ADD_FAILURE() << "no user-interface call was made";
        return none;
    }
    return calls_.back();
}

std::vector<UiCall> ScriptedUi::callsOf(UiKind kind) const {
    std::vector<UiCall> out;
    for (const auto& c : calls_)
        if (c.kind == kind) out.push_back(c);
    return out;
}

std::optional<UiAnswer> ScriptedUi::take(UiCall call) {
    calls_.push_back(call);
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected " << kindName(call.kind) << ": \"" << call.text
                      << "\" caption \"" << call.caption << "\"";
        return std::nullopt;
    }
    UiAnswer a = answers_.front();
    if (a.kind != call.kind) {
        ADD_FAILURE() << "expected a " << kindName(a.kind) << " but got a " << kindName(call.kind)
                      << ": \"" << call.text << "\" caption \"" << call.caption << "\"";
        answers_.pop_front();  // one fault, one failure: the script is out of step anyway
        return std::nullopt;
    }
    answers_.pop_front();
    if (a.expectText && *a.expectText != call.text)
        ADD_FAILURE() << kindName(call.kind) << " text \"" << call.text << "\", expected \""
                      << *a.expectText << "\"";
    return a;
}

MsgResult ScriptedUi::messageBox(const std::string& text, const std::string& caption,
                                 MsgIcon icon, MsgButtons buttons, MsgResult defaultButton) {
    UiCall c;
    c.kind = UiKind::MessageBox;
    c.text = text;
    c.caption = caption;
    c.icon = icon;
    c.buttons = buttons;
    c.defaultButton = defaultButton;
    const auto a = take(c);
    if (buttons == MsgButtons::Ok) {
        if (a && a->result != MsgResult::Ok)
            ADD_FAILURE() << "a Yes/No answer was queued for the OK box \"" << text << "\"";
        return MsgResult::Ok;
    }
    if (!a) return MsgResult::No;  // the cautious answer after a failure
    if (a->result == MsgResult::Ok) {
        ADD_FAILURE() << "an OK answer was queued for the question \"" << text << "\"";
        return MsgResult::No;
    }
    return a->result;
}

int ScriptedUi::chooseAnswer(const std::string& text, const std::string& caption, MsgIcon icon,
                             const std::vector<std::string>& answers) {
    UiCall c;
    c.kind = UiKind::Choice;
    c.text = text;
    c.caption = caption;
    c.icon = icon;
    c.answers = answers;
    const auto a = take(c);
    if (!a) return -1;
    if (a->choice >= static_cast<int>(answers.size())) {
        ADD_FAILURE() << "answer " << a->choice << " queued for a question of " << answers.size() << " buttons";
        return -1;
    }
    return a->choice;
}

void ScriptedUi::plainMessage(const std::string& text) {
    UiCall c;
    c.kind = UiKind::PlainMessage;
    c.text = text;
    take(c);
}

std::optional<std::string> ScriptedUi::inputLine(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& initial) {
    UiCall c;
    c.kind = UiKind::InputLine;
    c.text = prompt;
    c.caption = caption;
    c.file.initialName = initial;
    const auto a = take(c);
    if (!a || !a->accepted) return std::nullopt;
    return a->text;
}

FileDialogResult ScriptedUi::fileDialog(UiKind kind, const FileDialogRequest& request) {
    UiCall c;
    c.kind = kind;
    c.text = request.filter;
    c.caption = request.title;
    c.file = request;
    const auto a = take(c);
    FileDialogResult r;
    r.filterIndex = request.filterIndex;
    if (!a || !a->accepted) return r;
    r.accepted = true;
    r.path = a->text;
    r.filterIndex = a->filterIndex;
    return r;
}

FileDialogResult ScriptedUi::openFile(const FileDialogRequest& request) {
    return fileDialog(UiKind::OpenFile, request);
}
FileDialogResult ScriptedUi::saveFile(const FileDialogRequest& request) {
    return fileDialog(UiKind::SaveFile, request);
}
FileDialogResult ScriptedUi::savePicture(const FileDialogRequest& request) {
    return fileDialog(UiKind::SavePicture, request);
}

std::optional<std::string> ScriptedUi::chooseFolder(const std::string& title) {
    UiCall c;
    c.kind = UiKind::ChooseFolder;
    c.caption = title;
    const auto a = take(c);
    if (!a || !a->accepted) return std::nullopt;
    return a->text;
}

std::optional<FontChoice> ScriptedUi::chooseFont(const FontChoice& initial) {
    UiCall c;
    c.kind = UiKind::ChooseFont;
    c.text = initial.name;
    c.font = initial;
    const auto a = take(c);
    if (!a || !a->accepted) return std::nullopt;
    return a->font;
}

std::optional<Rgb> ScriptedUi::chooseColor(Rgb initial) {
    UiCall c;
    c.kind = UiKind::ChooseColor;
    c.color = initial;
    const auto a = take(c);
    if (!a || !a->accepted) return std::nullopt;
    return a->color;
}

bool ScriptedUi::printDialog(Printer& printer) {
    UiCall c;
    c.kind = UiKind::PrintDialog;
    const auto a = take(c);
    if (!a || !a->accepted) return false;
    printer.setOrientation(a->orientation);
    return true;
}

bool ScriptedUi::showModal(ModalWindow& window) {
    UiCall c;
    c.kind = UiKind::ModalWindow;
    c.text = window.modalTitle();
    c.caption = c.text;
    const auto a = take(c);
    if (!a) return false;
    if (a->act) a->act(window);
    return a->accepted;
}

void ScriptedUi::showError(const std::string& message) {
    UiCall c;
    c.kind = UiKind::ErrorBox;
    c.text = message;
    c.caption = applicationTitle();
    c.icon = MsgIcon::Error;
    take(c);
}

}  // namespace testui
