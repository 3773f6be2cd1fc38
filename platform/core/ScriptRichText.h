// A rich-text target that shows the texts set on it in the script of a converter. Searches look
// for the converted text, so positions found are positions in what is shown. Lines are converted
// one by one: a reading is put together from the same catalogue lines cast after cast, and each
// is converted once.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/core/RichText.h"
#include "platform/core/TextScript.h"

class ScriptRichText : public RichTextTarget {
public:
    ScriptRichText(RichTextTarget& target, ScriptConverter& script)
        : target_(target), script_(script) {}

    void clear() override { target_.clear(); }
    void setText(const std::string& text) override;
    std::string text() const override { return target_.text(); }
    int length() const override { return target_.length(); }
    void setDefaultAttributes(int size, Rgb color, TextStyle style) override {
        target_.setDefaultAttributes(size, color, style);
    }
    int fontSize() const override { return target_.fontSize(); }
    int find(const std::string& what, int from, int to) const override {
        return target_.find(script_.shown(what), from, to);
    }
    void select(int start, int length) override { target_.select(start, length); }
    void setSelectionColor(Rgb c) override { target_.setSelectionColor(c); }
    void setSelectionStyle(TextStyle s) override { target_.setSelectionStyle(s); }
    void setSelectionFont(const std::string& name, int size) override {
        target_.setSelectionFont(name, size);
    }
    bool modified() const override { return target_.modified(); }
    void setModified(bool m) override { target_.setModified(m); }

    // What the user typed (the names in a synastry reading): left as written wherever it occurs.
    void setKept(std::function<std::vector<std::string>()> kept) { kept_ = std::move(kept); }

private:
    std::function<std::vector<std::string>()> kept_;
    RichTextTarget& target_;
    ScriptConverter& script_;
};

// The text in the converter's script, converted line by line; the kept texts as written.
std::string shownByLines(ScriptConverter& script, const std::string& text,
                         const std::vector<std::string>& kept = {});
