#include "platform/qt/QtPrinter.h"

#include <QPageLayout>

#include "platform/qt/PainterCanvas.h"
#include "platform/qt/PictureQt.h"

QtPrinter::QtPrinter() = default;

QPrinter& QtPrinter::qprinter() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

QtPrinter::~QtPrinter() {
    if (painter_ && painter_->isActive()) painter_->end();
}

void QtPrinter::setOrientation(PageOrientation o) {
    qprinter().setPageOrientation(o == PageOrientation::Portrait ? QPageLayout::Portrait
                                                               : QPageLayout::Landscape);
}

PageOrientation QtPrinter::orientation() const {
    return qprinter().pageLayout().orientation() == QPageLayout::Landscape
               ? PageOrientation::Landscape
               : PageOrientation::Portrait;
}

int QtPrinter::pageWidth() const { return qprinter().width(); }
int QtPrinter::pageHeight() const { return qprinter().height(); }

void QtPrinter::beginJob(const std::string& title) {
    if (painter_ && painter_->isActive()) throw PrinterError("a print job is already running");
    qprinter().setDocName(QString::fromStdString(title));
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&qprinter())) {
        painter_.reset();
        throw PrinterError("the printer cannot start a job");
    }
}

void QtPrinter::stretchDraw(int left, int top, int right, int bottom, const Picture& picture) {
    if (!painter_ || !painter_->isActive()) throw PrinterError("no print job");
    const QImage img = imageFromPicture(picture);
    if (img.isNull()) throw PrinterError("empty picture");
    painter_->drawImage(QRect(left, top, right - left, bottom - top), img);
}

bool QtPrinter::drawRecording(int left, int top, int right, int bottom,
                              const CanvasRecorder& drawing, int w, int h) {
    if (!painter_ || !painter_->isActive()) throw PrinterError("no print job");
    paintRecording(*painter_, drawing, w, h, QRectF(left, top, right - left, bottom - top));
    return true;
}

void QtPrinter::newPage() {
    if (!painter_ || !painter_->isActive()) throw PrinterError("no print job");
    if (!qprinter().newPage()) throw PrinterError("the printer could not start a new page");
}

void QtPrinter::endJob() {
    if (!painter_ || !painter_->isActive()) throw PrinterError("no print job");
    const bool ok = painter_->end();
    painter_.reset();
    if (!ok) throw PrinterError("the printer could not finish the job");
}
