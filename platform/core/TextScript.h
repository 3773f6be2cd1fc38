// The script the interface is shown in: the program's texts are written in simplified characters;
// a reader in Taiwan or Hong Kong sees them in traditional characters with the idioms of the
// place. Texts are converted where they are shown, printed, drawn or exported; logic keeps
// producing simplified texts and files keep their bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class TextScript : uint8_t { Simplified, Taiwan, HongKong };

// The value kept in the interface settings ("简体", "台湾", "香港") and read back; an unknown or
// missing value is simplified.
const char* textScriptKey(TextScript s);
TextScript textScriptFromKey(const std::string& key);
// "tw" / "hk" on the command line; false for anything else.
bool textScriptFromOption(const std::string& option, TextScript& out);

class ScriptConverter {
public:
    virtual ~ScriptConverter() = default;
    virtual TextScript script() const = 0;
    virtual void setScript(TextScript s) = 0;
    // The text in the current script. Simplified returns it unchanged.
    virtual std::string shown(const std::string& text) = 0;
    // The text in simplified characters whatever script it was written in, for comparing a
    // search with what was stored.
    virtual std::string folded(const std::string& text) = 0;
};

// Shows every text as it is (the simplified interface, and where no converter is set up).
class PlainScript : public ScriptConverter {
public:
    TextScript script() const override { return TextScript::Simplified; }
    void setScript(TextScript) override {}
    std::string shown(const std::string& text) override { return text; }
    std::string folded(const std::string& text) override { return text; }
};

// The text in the converter's script with every occurrence of the kept texts (names the user
// typed) left as written.
std::string shownKeeping(ScriptConverter& script, const std::string& text,
                         const std::vector<std::string>& kept);
