#include "platform/qt/PictureQt.h"

#include <cstring>

Picture pictureFromImage(const QImage& image) {
    Picture p;
    if (image.isNull()) return p;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    p.width = argb.width();
    p.height = argb.height();
    p.pixels.resize(static_cast<std::size_t>(p.width) * p.height);
    for (int y = 0; y < p.height; ++y)
        std::memcpy(&p.pixels[static_cast<std::size_t>(y) * p.width], argb.constScanLine(y),
                    static_cast<std::size_t>(p.width) * 4);
    return p;
}

QImage imageFromPicture(const Picture& picture) {
    if (picture.empty() ||
        picture.pixels.size() < static_cast<std::size_t>(picture.width) * picture.height)
        return QImage();
    QImage img(picture.width, picture.height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(img.scanLine(y), &picture.pixels[static_cast<std::size_t>(y) * picture.width],
                    static_cast<std::size_t>(picture.width) * 4);
    return img;
}
