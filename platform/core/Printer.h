// The printer as the print commands use it: page size in device pixels, one job of pictures.
#pragma once
#include <stdexcept>
#include <string>

#include "platform/core/Picture.h"

class CanvasRecorder;

enum class PageOrientation { Portrait, Landscape };

// Raised by the printer when a job cannot be started, drawn or finished.
class PrinterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Printer {
public:
    virtual ~Printer() = default;
    virtual void setOrientation(PageOrientation o) = 0;
    virtual PageOrientation orientation() const = 0;
    virtual int pageWidth() const = 0;   // device pixels
    virtual int pageHeight() const = 0;  // device pixels
    // Each may raise PrinterError.
    virtual void beginJob(const std::string& title) = 0;
    // Draws the picture stretched into [left, right) x [top, bottom) of the page.
    virtual void stretchDraw(int left, int top, int right, int bottom, const Picture& picture) = 0;
    virtual void endJob() = 0;
    // Ends the page and starts a new one of the same job (a list that runs over pages).
    virtual void newPage() = 0;
    // Draws a recorded drawing of w x h canvas pixels as vectors at the printer's resolution,
    // scaled evenly into [left, right) x [top, bottom). A printer that takes pictures only
    // returns false and the caller sends a picture instead. May raise PrinterError.
    virtual bool drawRecording(int /*left*/, int /*top*/, int /*right*/, int /*bottom*/,
                               const CanvasRecorder& /*drawing*/, int /*w*/, int /*h*/) {
        return false;
    }
};
