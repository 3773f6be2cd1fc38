// A recorded chart drawing written out at any size: a raster image at a chosen width, an SVG
// file (Qt SVG) and a one-page PDF (Qt's PDF writer) the size of the drawing at 96 dpi.
#pragma once
#include <QImage>
#include <string>

#include "platform/core/ReplaceFile.h"

class CanvasRecorder;

// The drawing of w x h canvas pixels rendered outputWidth pixels wide (height in proportion).
QImage renderRecording(const CanvasRecorder& drawing, int w, int h, int outputWidth);
// The files are encoded in memory and put in place by recfs::replaceFile: an existing file
// is replaced only by a complete new one, and a target that is not a regular file is refused.
// Each returns false when the file could not be written; `result` (when given) says why.
bool writeRecordingSvg(const CanvasRecorder& drawing, int w, int h, const std::string& path,
                       const std::string& title, recfs::ReplaceResult* result = nullptr);
bool writeRecordingPdf(const CanvasRecorder& drawing, int w, int h, const std::string& path,
                       const std::string& title, recfs::ReplaceResult* result = nullptr);
// An image through Qt's encoder of `format` ("PNG", "BMP").
bool saveImageFile(const QImage& image, const char* format, const std::string& path,
                   recfs::ReplaceResult* result = nullptr);
