// A raster picture passed between the forms and the platform services (clipboard, printer):
// 32-bit pixels 0xAARRGGBB, rows top to bottom, no padding.
#pragma once
#include <cstdint>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // width * height entries

    bool empty() const { return width <= 0 || height <= 0; }
};
