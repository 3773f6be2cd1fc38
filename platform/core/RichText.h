// Rich-text control as the chart engine and the main window use it. Positions and lengths count
// characters (Unicode code points) of the control's plain text; text is UTF-8.
#pragma once
#include <string>

#include "platform/core/Canvas.h"

struct TextStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

class RichTextTarget {
public:
    virtual ~RichTextTarget() = default;
    virtual void clear() = 0;
    virtual void setText(const std::string& text) = 0;
    virtual std::string text() const = 0;
    virtual int length() const = 0;
    // Attributes of text typed or set from now on.
    virtual void setDefaultAttributes(int size, Rgb color, TextStyle style) = 0;
    virtual int fontSize() const = 0;
    // Exact, case-sensitive search in [from, to); -1 when not found.
    virtual int find(const std::string& what, int from, int to) const = 0;
    virtual void select(int start, int length) = 0;
    virtual void setSelectionColor(Rgb c) = 0;
    virtual void setSelectionStyle(TextStyle s) = 0;
    virtual void setSelectionFont(const std::string& name, int size) = 0;
    virtual bool modified() const = 0;
    virtual void setModified(bool m) = 0;
};
