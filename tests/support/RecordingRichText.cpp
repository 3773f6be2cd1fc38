#include "tests/support/RecordingRichText.h"

namespace {
std::vector<std::size_t> codePointOffsets(const std::string& s) {
    std::vector<std::size_t> o;
    for (std::size_t i = 0; i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) o.push_back(i);
    o.push_back(s.size());
    return o;
}
}  // namespace

void RecordingRichText::clear() {
    text_.clear();
    selStart_ = selLength_ = 0;
    spans_.clear();
    ops_.push_back({"clear"});
    modified_ = true;
}
void RecordingRichText::setText(const std::string& text) {
    text_ = text;
    spans_.clear();
    Op op{"setText"};
    op.text = text;
    ops_.push_back(op);
    modified_ = true;
}
int RecordingRichText::length() const {
    return static_cast<int>(codePointOffsets(text_).size()) - 1;
}
void RecordingRichText::setDefaultAttributes(int size, Rgb color, TextStyle style) {
    Op op{"defaults", size};
    op.color = color;
    op.style = style;
    ops_.push_back(op);
}
int RecordingRichText::find(const std::string& what, int from, int to) const {
    const auto off = codePointOffsets(text_);
    const int n = static_cast<int>(off.size()) - 1;
    if (from < 0) from = 0;
    if (to > n) to = n;
    if (from >= to || what.empty()) return -1;
    const std::size_t pos = text_.find(what, off[from]);
    if (pos == std::string::npos || pos + what.size() > off[to]) return -1;
    for (int i = from; i < n; ++i)
        if (off[i] == pos) return i;
    return -1;
}
void RecordingRichText::select(int start, int length) {
    selStart_ = start;
    selLength_ = length;
    ops_.push_back({"select", start, length});
}
void RecordingRichText::setSelectionColor(Rgb c) {
    Op op{"color", selStart_, selLength_};
    op.color = c;
    ops_.push_back(op);
    Span s{selStart_, selLength_};
    s.hasColor = true;
    s.color = c;
    spans_.push_back(s);
}
void RecordingRichText::setSelectionStyle(TextStyle st) {
    Op op{"style", selStart_, selLength_};
    op.style = st;
    ops_.push_back(op);
    Span s{selStart_, selLength_};
    s.hasStyle = true;
    s.style = st;
    spans_.push_back(s);
}
void RecordingRichText::setSelectionFont(const std::string& name, int size) {
    Op op{"font", selStart_, size};
    op.text = name;
    ops_.push_back(op);
}
std::string RecordingRichText::substr(int start, int length) const {
    const auto off = codePointOffsets(text_);
    const int n = static_cast<int>(off.size()) - 1;
    if (start < 0 || start > n) return {};
    int end = start + length;
    if (end > n) end = n;
    return text_.substr(off[start], off[end] - off[start]);
}
