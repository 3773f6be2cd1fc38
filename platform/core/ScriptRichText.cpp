#include "platform/core/ScriptRichText.h"

std::string shownByLines(ScriptConverter& script, const std::string& text,
                         const std::vector<std::string>& kept) {
    if (script.script() == TextScript::Simplified) return text;
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::size_t stop = end == std::string::npos ? text.size() : end;
        if (stop > start) {
            const std::string line = text.substr(start, stop - start);
            out += kept.empty() ? script.shown(line) : shownKeeping(script, line, kept);
        }
        if (end == std::string::npos) break;
        out += '\n';
        start = end + 1;
    }
    return out;
}

void ScriptRichText::setText(const std::string& text) {
    std::vector<std::string> kept;
    if (kept_ && script_.script() != TextScript::Simplified) kept = kept_();
    target_.setText(shownByLines(script_, text, kept));
}
