// Abstract drawing surface used by the chart engine and the calendar window. Coordinates are
// pixels, y grows downward; colours are RGB; text is UTF-8; font sizes are points (96 dpi).
#pragma once
#include <cstdint>
#include <string>

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    static Rgb fromBgr(uint32_t bgr) {  // settings store colours as 0x00BBGGRR
        return Rgb{static_cast<uint8_t>(bgr & 0xFF), static_cast<uint8_t>((bgr >> 8) & 0xFF),
                   static_cast<uint8_t>((bgr >> 16) & 0xFF)};
    }
    uint32_t toBgr() const { return r | (g << 8) | (static_cast<uint32_t>(b) << 16); }
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

enum class PenStyle { Solid, Dotted, Dashed };

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;

    virtual void setBrushColor(Rgb c) = 0;
    virtual void setPenColor(Rgb c) = 0;
    virtual void setPenStyle(PenStyle s) = 0;
    virtual void setFontName(const std::string& name) = 0;
    virtual void setFontSize(int points) = 0;
    virtual void setFontColor(Rgb c) = 0;

    // Filled with the brush, outlined with the pen; (x2, y2) exclusive as in GDI.
    virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
    // Text with its top-left corner at (x, y); its cell is first filled with the brush colour.
    virtual void textOut(int x, int y, const std::string& text) = 0;
    virtual int textWidth(const std::string& text) = 0;
    virtual int textHeight(const std::string& text) = 0;
};
