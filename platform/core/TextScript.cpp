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
