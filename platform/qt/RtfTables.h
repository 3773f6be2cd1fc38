// The tables at the head of an RTF document as the reader collects them: fonts with the code page
// their bytes are in, and the style sheet's character formatting; and the names of the control
// words the reader treats by kind.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/qt/RtfFlow.h"

namespace rtfread {
class FontTable {
public:
    void beginEntry();
    void setNumber(int f) { number_ = f; }
    void setCodePage(int cp) { codePage_ = cp; }  // 0: the document's, -1: symbol
    void addByte(char b) { bytes_ += b; }
    void addText(const std::string& utf8, int docCodePage);
    // At the ';' or the closing brace of the entry.
    void endEntry(int docCodePage);
    // The UTF-8 name of font f ("" when unknown) and the code page of its bytes.
    std::string name(int f) const;
    int codePage(int f, int docCodePage) const;

private:
    void flushBytes(int docCodePage);
    struct Font {
        std::string name;
        int codePage = 0;
    };
    std::map<int, Font> fonts_;
    int number_ = -1;
    int codePage_ = 0;
    std::string bytes_;
    std::string name_;
};

// One control word with its argument.
struct Control {
    std::string word;
    bool hasArg;
    int arg;
};

// Paragraph styles (\sN), character styles (\csN) and the document's default formatting.
class StyleSheet {
public:
    static constexpr int kDefaults = -2;  // Word's \defchp
    void beginEntry(int id = -1);
    void control(const std::string& w, bool hasArg, int arg);
    void endEntry();
    // The character controls of a style after those of the styles it is based on, base first.
    std::vector<Control> controls(int id, bool characterStyle) const;

private:
    struct Style {
        int basedOn = -1;
        std::vector<Control> controls;
    };
    void collect(const std::map<int, Style>& table, int id, int depth, std::vector<Control>& out) const;
    std::map<int, Style> styles_, charStyles_;
    int id_ = -1;
    bool charStyle_ = false;
    Style style_;
};

// Groups whose text is not part of the document.
bool skippedDestination(const std::string& w);
// \ul and its kinds (double, dotted, wave, thick, words…): the comment box has one underline.
bool underlineKind(const std::string& w);
// "\ftnnrlc", "\aftnnrlc", "\sftnnrlc", "\saftnnrlc"…: how foot- (or, with endnote set, end-)
// notes are numbered; false for other words.
bool noteNumbering(std::string w, bool* endnote, NoteNumbering* kind);
}  // namespace rtfread
