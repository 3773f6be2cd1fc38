// A canvas that draws every text in the script of a converter and passes everything else on
// unchanged; its text metrics are those of the converted text, so the layout fits what is drawn.
// With the simplified script the canvas it wraps gets exactly the calls it would get without it.
// Texts the user typed (the names in the chart) are drawn as written.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/core/Canvas.h"
#include "platform/core/TextScript.h"

class ScriptCanvas : public Canvas {
public:
    ScriptCanvas(Canvas& target, ScriptConverter& script) : target_(target), script_(script) {}

    int width() const override { return target_.width(); }
    int height() const override { return target_.height(); }
    void setBrushColor(Rgb c) override { target_.setBrushColor(c); }
    void setPenColor(Rgb c) override { target_.setPenColor(c); }
    void setPenStyle(PenStyle s) override { target_.setPenStyle(s); }
    void setFontName(const std::string& name) override { target_.setFontName(name); }
    void setFontSize(int points) override { target_.setFontSize(points); }
    void setFontColor(Rgb c) override { target_.setFontColor(c); }
    void rectangle(int x1, int y1, int x2, int y2) override { target_.rectangle(x1, y1, x2, y2); }
    void ellipse(int x1, int y1, int x2, int y2) override { target_.ellipse(x1, y1, x2, y2); }
    void moveTo(int x, int y) override { target_.moveTo(x, y); }
    void lineTo(int x, int y) override { target_.lineTo(x, y); }
    void textOut(int x, int y, const std::string& text) override { target_.textOut(x, y, shown(text)); }
    int textWidth(const std::string& text) override { return target_.textWidth(shown(text)); }
    int textHeight(const std::string& text) override { return target_.textHeight(shown(text)); }

    // What the user typed, asked for at each text: left as written wherever it occurs.
    void setKept(std::function<std::vector<std::string>()> kept) { kept_ = std::move(kept); }

private:
    std::string shown(const std::string& text) {
        if (script_.script() == TextScript::Simplified) return text;
        return kept_ ? shownKeeping(script_, text, kept_()) : script_.shown(text);
    }

    std::function<std::vector<std::string>()> kept_;
    Canvas& target_;
    ScriptConverter& script_;
};
