#include "platform/opencc/OpenccScript.h"

#include <opencc/Exception.hpp>
#include <opencc/SimpleConverter.hpp>

namespace {
// A kept conversion per distinct text; past this many the cache starts again (texts carrying
// numbers, such as the data panel's lines, would otherwise grow it without end).
constexpr std::size_t kCacheLimit = 60000;

const char* configOf(TextScript s) {
    switch (s) {
    case TextScript::Taiwan: return "s2twp.json";
    case TextScript::HongKong: return "s2hk.json";
    case TextScript::Simplified: break;
    }
    return "t2s.json";
}

const char* termIn(const ScriptTerm& t, TextScript s) {
    return s == TextScript::HongKong && t.hongKong ? t.hongKong : t.taiwan;
}
}  // namespace

OpenccScript::OpenccScript() = default;
OpenccScript::~OpenccScript() = default;

opencc::SimpleConverter* OpenccScript::converter(TextScript s) {
    const int k = static_cast<int>(s);
    std::unique_ptr<opencc::SimpleConverter>& c =
        s == TextScript::Taiwan ? taiwan_ : s == TextScript::HongKong ? hongKong_ : fold_;
    if (!loaded_[k]) {
        loaded_[k] = true;
        try {
            c = std::make_unique<opencc::SimpleConverter>(configOf(s));
        } catch (const std::exception& e) {
            problem_ = std::string("OpenCC: ") + configOf(s) + ": " + e.what();
        }
    }
    return c.get();
}

std::string OpenccScript::convertUncached(const std::string& text, TextScript s) {
    opencc::SimpleConverter* c = converter(s);
    if (!c) return text;
    if (s == TextScript::Simplified) return c->Convert(text);
    const std::vector<ScriptTerm>& terms = scriptTerms();
    for (const ScriptTerm& t : terms)
        if (t.wholeText && text == t.simplified) return termIn(t, s);
    // Our terms first, OpenCC for the text between them (the leftmost, then longest, term).
    std::string out;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t at = std::string::npos;
        const ScriptTerm* found = nullptr;
        for (const ScriptTerm& t : terms) {
            if (t.wholeText) continue;
            const std::size_t p = text.find(t.simplified, from);
            if (p == std::string::npos) continue;
            if (p < at || (p == at && std::char_traits<char>::length(t.simplified) >
                                          std::char_traits<char>::length(found->simplified))) {
                at = p;
                found = &t;
            }
        }
        if (!found) {
            out += c->Convert(text.substr(from));
            break;
        }
        if (at > from) out += c->Convert(text.substr(from, at - from));
        out += termIn(*found, s);
        from = at + std::char_traits<char>::length(found->simplified);
    }
    return out;
}

std::string OpenccScript::convert(const std::string& text, TextScript s) {
    if (text.empty()) return text;
    // Plain ASCII (numbers, Latin names, glyph codes of the symbol font) is the same in every
    // script.
    bool ascii = true;
    for (const unsigned char ch : text)
        if (ch >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) return text;
    auto& cache = cache_[static_cast<int>(s)];
    const auto it = cache.find(text);
    if (it != cache.end()) return it->second;
    if (cache.size() >= kCacheLimit) cache.clear();
    return cache.emplace(text, convertUncached(text, s)).first->second;
}

std::string OpenccScript::shown(const std::string& text) {
    if (script_ == TextScript::Simplified) return text;
    return convert(text, script_);
}

std::string OpenccScript::folded(const std::string& text) {
    return convert(text, TextScript::Simplified);
}
