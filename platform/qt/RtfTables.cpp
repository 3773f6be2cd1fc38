#include "platform/qt/RtfTables.h"

#include <QString>
#include <utility>

#include "platform/qt/RtfCharsets.h"

namespace rtfread {
void FontTable::beginEntry() {
    number_ = -1;
    codePage_ = 0;
    bytes_.clear();
    name_.clear();
}

void FontTable::flushBytes(int docCodePage) {
    if (bytes_.empty()) return;
    const int cp = codePage_ == 0 ? docCodePage : codePage_;
    name_ += (cp < 0 ? QString::fromLatin1(bytes_.c_str()) : rtftext::decode(bytes_, cp)).toStdString();
    bytes_.clear();
}

void FontTable::addText(const std::string& utf8, int docCodePage) {
    flushBytes(docCodePage);
    name_ += utf8;
}

void FontTable::endEntry(int docCodePage) {
    flushBytes(docCodePage);
    if (number_ >= 0 && !name_.empty()) fonts_[number_] = Font{name_, codePage_};
    beginEntry();
}

std::string FontTable::name(int f) const {
    const auto it = fonts_.find(f);
    return it == fonts_.end() ? std::string() : it->second.name;
}

int FontTable::codePage(int f, int docCodePage) const {
    const auto it = fonts_.find(f);
    const int cp = it == fonts_.end() ? 0 : it->second.codePage;
    return cp == 0 ? docCodePage : cp;
}

void StyleSheet::beginEntry(int id) {
    id_ = id;
    charStyle_ = false;
    style_ = Style{};
}

void StyleSheet::control(const std::string& w, bool hasArg, int arg) {
    if (w == "s" || w == "cs") {
        id_ = arg;
        charStyle_ = w == "cs";
    } else if (w == "sbasedon") {
        style_.basedOn = arg;
    } else if (w != "plain" && style_.controls.size() < 256) {  // a style is a handful of controls
        style_.controls.push_back({w, hasArg, arg});
    }
}

void StyleSheet::endEntry() {
    if (id_ != -1) (charStyle_ ? charStyles_ : styles_)[id_] = style_;
    id_ = -1;
}

std::vector<Control> StyleSheet::controls(int id, bool characterStyle) const {
    std::vector<Control> out;
    collect(characterStyle ? charStyles_ : styles_, id, 0, out);
    return out;
}

void StyleSheet::collect(const std::map<int, Style>& table, int id, int depth, std::vector<Control>& out) const {
    const auto it = table.find(id);
    if (it == table.end() || depth > 20) return;
    const int base = it->second.basedOn;
    if (base >= 0 && base != id) collect(table, base, depth + 1, out);
    out.insert(out.end(), it->second.controls.begin(), it->second.controls.end());
}

bool skippedDestination(const std::string& w) {
    static const char* const names[] = {
        "info", "pict", "object", "header", "footer", "headerl", "headerr", "headerf", "footerl",
        "footerr", "footerf", "fldinst", "themedata", "colorschememapping", "latentstyles",
        "listtable", "listoverridetable", "rsidtbl", "generator", "xmlnstbl", "datastore",
        "mmathPr", "shprslt", "nonshppict", "revtbl", "filetbl", "pgdsctbl", "ftnsep", "ftnsepc",
        "ftncn", "aftnsep", "aftnsepc", "aftncn", "bkmkstart", "bkmkend", "pnseclvl", "pntxta",
        "pntxtb", "atnid", "atnauthor", "annotation", "userprops", "template", "fchars", "lchars",
        "background", "xe", "tc", "txe", "do", "falt", "panose", "keycode"};
    for (const char* n : names)
        if (w == n) return true;
    return false;
}

bool underlineKind(const std::string& w) {
    static const char* const kinds[] = {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhair",
                                        "ulhwave", "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd",
                                        "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"};
    for (const char* k : kinds)
        if (w == k) return true;
    return false;
}

bool noteNumbering(std::string w, bool* endnote, NoteNumbering* kind) {
    if (w.compare(0, 1, "s") == 0) w.erase(0, 1);
    *endnote = w.compare(0, 1, "a") == 0;
    if (*endnote) w.erase(0, 1);
    static const std::pair<const char*, NoteNumbering> kinds[] = {
        {"ftnnar", NoteNumbering::Arabic},       {"ftnnrlc", NoteNumbering::LowerRoman},
        {"ftnnruc", NoteNumbering::UpperRoman},  {"ftnnalc", NoteNumbering::LowerLetter},
        {"ftnnauc", NoteNumbering::UpperLetter}, {"ftnnchi", NoteNumbering::Symbols}};
    for (const auto& k : kinds)
        if (w == k.first) {
            *kind = k.second;
            return true;
        }
    return false;
}
}  // namespace rtfread
