// JPEG files through libjpeg with the encoder's default settings (quality 75, 4:2:0, baseline).
#pragma once
#include <QImage>
#include <string>

// Writes the image as a JPEG file at the UTF-8 path; false with a reason in *error on failure.
bool writeJpeg(const QImage& image, const std::string& path, std::string* error = nullptr);
