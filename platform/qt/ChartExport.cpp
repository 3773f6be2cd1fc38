#include "platform/qt/ChartExport.h"

#include <QFile>
#include <QFileInfo>
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

bool nonEmptyFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.size() > 0;
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
                       const std::string& title) {
    const QString file = q(path);
    QFile::remove(file);
    {
        QSvgGenerator svg;
        svg.setFileName(file);
        svg.setSize(QSize(w, h));
        svg.setViewBox(QRect(0, 0, w, h));
        svg.setResolution(96);
        svg.setTitle(q(title));
        QPainter p;
        if (!p.begin(&svg)) return false;
        paintRecording(p, drawing, w, h, QRectF(0, 0, w, h));
        if (!p.end()) return false;
    }
    return nonEmptyFile(file);
}

bool writeRecordingPdf(const CanvasRecorder& drawing, int w, int h, const std::string& path,
                       const std::string& title) {
    const QString file = q(path);
    QFile::remove(file);
    {
        QPdfWriter pdf(file);
        pdf.setTitle(q(title));
        pdf.setCreator(QStringLiteral("Tarmin"));
        pdf.setPageSize(QPageSize(QSizeF(w * 72.0 / 96.0, h * 72.0 / 96.0), QPageSize::Point,
                                  QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(600);
        QPainter p;
        if (!p.begin(&pdf)) return false;
        const QRect page = p.viewport();
        paintRecording(p, drawing, w, h, QRectF(page));
        if (!p.end()) return false;
    }
    return nonEmptyFile(file);
}
