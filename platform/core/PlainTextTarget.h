// A rich-text target that keeps only the plain text: the reading without colours, for the
// command line and the benchmarks. Positions count code points of the UTF-8 text.
#pragma once
#include <cstddef>
#include <string>

#include "platform/core/RichText.h"

class PlainTextTarget : public RichTextTarget {
public:
    void clear() override { text_.clear(); }
    void setText(const std::string& t) override { text_ = t; }
    std::string text() const override { return text_; }
    int length() const override {
        int n = 0;
        for (const unsigned char c : text_)
            if ((c & 0xC0) != 0x80) ++n;
        return n;
    }
    void setDefaultAttributes(int, Rgb, TextStyle) override {}
    int fontSize() const override { return 10; }
    int find(const std::string& what, int from, int to) const override {
        // Code-point positions over the UTF-8 text.
        int cp = 0;
        for (std::size_t i = 0; i < text_.size(); ++i) {
            if ((static_cast<unsigned char>(text_[i]) & 0xC0) == 0x80) continue;
            if (cp >= from && text_.compare(i, what.size(), what) == 0) {
                const std::string head = text_.substr(0, i + what.size());
                int endCp = 0;
                for (const unsigned char c : head)
                    if ((c & 0xC0) != 0x80) ++endCp;
                return endCp <= to ? cp : -1;
            }
            ++cp;
        }
        return -1;
    }
    void select(int, int) override {}
    void setSelectionColor(Rgb) override {}
    void setSelectionStyle(TextStyle) override {}
    void setSelectionFont(const std::string&, int) override {}
    bool modified() const override { return false; }
    void setModified(bool) override {}

private:
    std::string text_;
};
