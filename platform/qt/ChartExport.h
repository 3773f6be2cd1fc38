// A recorded chart drawing written out at any size: a raster image at a chosen width, an SVG
// file (Qt SVG) and a one-page PDF (Qt's PDF writer) the size of the drawing at 96 dpi.
#pragma once
#include <QImage>
#include <string>

class CanvasRecorder;

// The drawing of w x h canvas pixels rendered outputWidth pixels wide (height in proportion).
QImage renderRecording(const CanvasRecorder& drawing, int w, int h, int outputWidth);
// Each returns false when the file could not be written.
bool writeRecordingSvg(const CanvasRecorder& drawing, int w, int h, const std::string& path,
                       const std::string& title);
bool writeRecordingPdf(const CanvasRecorder& drawing, int w, int h, const std::string& path,
                       const std::string& title);
