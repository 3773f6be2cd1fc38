#include "platform/core/TextScript.h"

const char* textScriptKey(TextScript s) {
    switch (s) {
    case TextScript::Taiwan: return "台湾";
    case TextScript::HongKong: return "香港";
    case TextScript::Simplified: break;
    }
    return "简体";
}

TextScript textScriptFromKey(const std::string& key) {
    if (key == "台湾") return TextScript::Taiwan;
    if (key == "香港") return TextScript::HongKong;
    return TextScript::Simplified;
}

bool textScriptFromOption(const std::string& option, TextScript& out) {
    if (option == "tw") out = TextScript::Taiwan;
    else if (option == "hk") out = TextScript::HongKong;
    else return false;
    return true;
}

std::string shownKeeping(ScriptConverter& script, const std::string& text,
                         const std::vector<std::string>& kept) {
    if (script.script() == TextScript::Simplified) return text;
    std::string out;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t at = std::string::npos, length = 0;
        for (const std::string& k : kept) {
            if (k.empty()) continue;
            const std::size_t p = text.find(k, from);
            if (p != std::string::npos && (p < at || (p == at && k.size() > length))) {
                at = p;
                length = k.size();
            }
        }
        if (at == std::string::npos) {
            out += script.shown(text.substr(from));
            break;
        }
        if (at > from) out += script.shown(text.substr(from, at - from));
        out.append(text, at, length);
        from = at + length;
    }
    return out;
}
