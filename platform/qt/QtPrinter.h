// The printer over QPrinter: page size in device pixels of the paintable area, one job at a time.
#pragma once
#include <QPainter>
#include <QPrinter>
#include <memory>

#include "platform/core/Printer.h"

class QtPrinter : public Printer {
public:
    QtPrinter();
    ~QtPrinter() override;
    void setOrientation(PageOrientation o) override;
    PageOrientation orientation() const override;
    int pageWidth() const override;
    int pageHeight() const override;
    void beginJob(const std::string& title) override;
    void stretchDraw(int left, int top, int right, int bottom, const Picture& picture) override;
    void endJob() override;
    void newPage() override;
    bool drawRecording(int left, int top, int right, int bottom, const CanvasRecorder& drawing,
                       int w, int h) override;

    // Created on first use, so the services can exist before the application object.
    QPrinter& qprinter();
    const QPrinter& qprinter() const { return const_cast<QtPrinter*>(this)->qprinter(); }

private:
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
};
