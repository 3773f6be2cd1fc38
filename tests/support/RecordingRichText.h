// Rich-text test double: holds the plain text (positions count code points) and keeps every
// operation with its arguments, so that the colours and styles given to each range can be read
// back.
#pragma once
#include <string>
#include <vector>

#include "platform/core/RichText.h"

class RecordingRichText : public RichTextTarget {
public:
    struct Span {
        int start;
        int length;
        bool hasColor = false;
        Rgb color{};
        bool hasStyle = false;
        TextStyle style{};
    };
    struct Op {
        std::string name;  // "clear", "setText", "defaults", "select", "color", "style", "font"
        int a = 0, b = 0;
        std::string text{};
        Rgb color{};
        TextStyle style{};
    };

    explicit RecordingRichText(int fontSize = 10) : fontSize_(fontSize) {}

    void clear() override;
    void setText(const std::string& text) override;
    std::string text() const override { return text_; }
    int length() const override;
    void setDefaultAttributes(int size, Rgb color, TextStyle style) override;
    int fontSize() const override { return fontSize_; }
    int find(const std::string& what, int from, int to) const override;
    void select(int start, int length) override;
    void setSelectionColor(Rgb c) override;
    void setSelectionStyle(TextStyle s) override;
    void setSelectionFont(const std::string& name, int size) override;
    bool modified() const override { return modified_; }
    void setModified(bool m) override { modified_ = m; }

    const std::vector<Op>& ops() const { return ops_; }
    // Ranges coloured or styled while selected, in order of the operations.
    const std::vector<Span>& spans() const { return spans_; }
    int selectionStart() const { return selStart_; }
    int selectionLength() const { return selLength_; }
    // Text of a code-point range.
    std::string substr(int start, int length) const;

private:
    std::string text_;
    int fontSize_;
    bool modified_ = false;
    int selStart_ = 0;
    int selLength_ = 0;
    std::vector<Op> ops_;
    std::vector<Span> spans_;
};
