#include "platform/qt/ChartExport.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cmath>

#include "platform/core/CanvasRecorder.h"
#include "platform/qt/PainterCanvas.h"

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }

// Puts the encoded bytes in place; an encoder that failed or gave nothing counts as a failed
// write and leaves the target alone.
bool putInPlace(bool encoded, const QByteArray& bytes, const std::string& path,
                recfs::ReplaceResult* result) {
    const recfs::ReplaceResult r =
        encoded && !bytes.isEmpty()
            ? recfs::replaceFile(path, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())))
            : recfs::ReplaceResult::WriteFailed;
    if (result) *result = r;
    return r == recfs::ReplaceResult::Written;
}
}  // namespace

QImage renderRecording(const CanvasRecorder& drawing, int w, int h, int outputWidth) {
    if (w <= 0 || h <= 0 || outputWidth <= 0) return QImage();
    const int outputHeight =
        std::max(1, static_cast<int>(std::lround(static_cast<double>(outputWidth) * h / w)));
    QImage image(outputWidth, outputHeight, QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.fill(Qt::white);
    QPainter p(&image);
    paintRecording(p, drawing, w, h, QRectF(0, 0, outputWidth, outputHeight));
    return image;
}

bool writeRecordingSvg(const CanvasRecorder& drawing, int w, int h, const std::string& path,
                       const std::string& title, recfs::ReplaceResult* result) {
    QByteArray bytes;
    bool encoded = false;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(w, h));
        svg.setViewBox(QRect(0, 0, w, h));
        svg.setResolution(96);
        svg.setTitle(q(title));
        QPainter p;
        if (p.begin(&svg)) {
            paintRecording(p, drawing, w, h, QRectF(0, 0, w, h));
            encoded = p.end();
        }
    }
    return putInPlace(encoded, bytes, path, result);
}

bool writeRecordingPdf(const CanvasRecorder& drawing, int w, int h, const std::string& path,
                       const std::string& title, recfs::ReplaceResult* result) {
    QByteArray bytes;
    bool encoded = false;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setTitle(q(title));
        pdf.setCreator(QStringLiteral("Tarmin"));
        pdf.setPageSize(QPageSize(QSizeF(w * 72.0 / 96.0, h * 72.0 / 96.0), QPageSize::Point,
                                  QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(600);
        QPainter p;
        if (p.begin(&pdf)) {
            const QRect page = p.viewport();
            paintRecording(p, drawing, w, h, QRectF(page));
            encoded = p.end();
        }
    }
    return putInPlace(encoded, bytes, path, result);
}

bool saveImageFile(const QImage& image, const char* format, const std::string& path,
                   recfs::ReplaceResult* result) {
    QByteArray bytes;
    bool encoded = false;
    if (!image.isNull()) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        encoded = image.save(&buffer, format);
    }
    return putInPlace(encoded, bytes, path, result);
}
