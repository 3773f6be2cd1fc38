// JPEG files through libjpeg with the encoder's default settings (quality 75, 4:2:0, baseline).
#pragma once
#include <QImage>
#include <string>

#include "platform/core/ReplaceFile.h"

// Writes the image as a JPEG file at the UTF-8 path, encoded in memory and put in place by
// recfs::replaceFile; false with a reason in *error (and *result) on failure.
bool writeJpeg(const QImage& image, const std::string& path, std::string* error = nullptr,
               recfs::ReplaceResult* result = nullptr);
