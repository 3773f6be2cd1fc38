// The script converter over OpenCC: its phrase-level configurations for Taiwan (s2twp: Taiwan's
// characters and idioms) and Hong Kong (s2hk), with the program's own astrology and calendar
// terms (ScriptTerms) taking precedence, and t2s for folding. Every text converted is kept, per
// script, so the catalogue's texts and the captions are converted once.
#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/core/TextScript.h"

namespace opencc {
class SimpleConverter;
}

// A term OpenCC's general dictionaries convert wrongly in this program's subject. wholeText:
// only a text that is exactly the term (a lone glyph of the chart or the calendar), never a
// part of a longer text.
struct ScriptTerm {
    const char* simplified;
    const char* taiwan;
    const char* hongKong;  // nullptr: as in Taiwan
    bool wholeText;
};
const std::vector<ScriptTerm>& scriptTerms();

class OpenccScript : public ScriptConverter {
public:
    OpenccScript();
    ~OpenccScript() override;

    TextScript script() const override { return script_; }
    void setScript(TextScript s) override { script_ = s; }
    std::string shown(const std::string& text) override;
    std::string folded(const std::string& text) override;
    // The text in the given script, whatever the current one.
    std::string convert(const std::string& text, TextScript s);
    // Empty when OpenCC and its data were found; otherwise why texts stay simplified.
    const std::string& problem() const { return problem_; }

private:
    opencc::SimpleConverter* converter(TextScript s);
    std::string convertUncached(const std::string& text, TextScript s);

    TextScript script_ = TextScript::Simplified;
    std::unique_ptr<opencc::SimpleConverter> taiwan_, hongKong_, fold_;
    bool loaded_[3] = {false, false, false};
    std::unordered_map<std::string, std::string> cache_[3];  // by script; [0] is the fold
    std::string problem_;
};
