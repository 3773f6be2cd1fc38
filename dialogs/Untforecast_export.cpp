// The exports of TFrmForecast: the list as CSV and iCalendar, the timeline (with the list under
// it for PDF and printing) as PNG, SVG and PDF, and printing.
#include <QBoxLayout>
#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QImage>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "calendar/Yidateex.h"
#include "dialogs/DialogFrame.h"
#include "dialogs/Untforecast.h"
#include "forecast/Export.h"
#include "platform/qt/ChartExport.h"
#include "platform/qt/Controls.h"
#include "platform/qt/PainterCanvas.h"
#include "platform/qt/PictureQt.h"
#include "platform/qt/QImageCanvas.h"

namespace {
QPushButton* exportButton(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(qs(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    nameControl(b, caption);
    return b;
}
}  // namespace

void TFrmForecast::buildExports(QBoxLayout* row) {
    BtnCsv = exportButton(this, "BtnCsv", "导出CSV");
    BtnIcs = exportButton(this, "BtnIcs", "导出ICS");
    BtnPdf = exportButton(this, "BtnPdf", "导出PDF");
    BtnPrint = exportButton(this, "BtnPrint", "打印");
    BtnPng = exportButton(this, "BtnPng", "时间线PNG");
    BtnSvg = exportButton(this, "BtnSvg", "时间线SVG");
    for (QPushButton* b : {BtnCsv, BtnIcs, BtnPdf, BtnPrint, BtnPng, BtnSvg}) row->addWidget(b);
    connect(BtnCsv, &QPushButton::clicked, this, [this] { BtnCsvClick(); });
    connect(BtnIcs, &QPushButton::clicked, this, [this] { BtnIcsClick(); });
    connect(BtnPdf, &QPushButton::clicked, this, [this] { BtnPdfClick(); });
    connect(BtnPrint, &QPushButton::clicked, this, [this] { BtnPrintClick(); });
    connect(BtnPng, &QPushButton::clicked, this, [this] { BtnPngClick(); });
    connect(BtnSvg, &QPushButton::clicked, this, [this] { BtnSvgClick(); });
}

std::string TFrmForecast::exportPath(const char* title, const char* filter, const char* extension) {
    FileDialogRequest req;
    req.title = title;
    req.filter = filter;
    req.defaultExtension = extension;
    req.initialName = std::string("行运与天象.") + extension;
    req.overwritePrompt = true;
    const FileDialogResult r = ui_.saveFile(req);
    return r.accepted ? r.path : std::string();
}

namespace {
// Every file goes through recfs::replaceFile (the old file is replaced only by a complete new
// one; a FIFO or device is refused): a failure is reported with its reason.
void written(UiServices& ui, bool ok, recfs::ReplaceResult result, const std::string& path) {
    if (ok) return;
    const std::string why = recfs::replaceFailureText(result, path);
    ui.messageBox(why.empty() ? "无法写入文件 " + path : why, "错误", MsgIcon::Error, MsgButtons::Ok);
}
}  // namespace

void TFrmForecast::BtnCsvClick() {
    const std::string path = exportPath("导出CSV", "CSV文件|*.csv", "csv");
    if (path.empty()) return;
    MYiDateEx calendar;
    auto rows = forecast::transitRows(hits_, subject_.natal, clock());
    const auto sky = forecast::skyEventRows(events_, calendar, clock());
    if (rows.size() <= 1) rows = sky;
    else
        for (std::size_t i = 1; i < sky.size(); ++i)
            rows.push_back({sky[i][0], sky[i][1], "", "", sky[i][2], "", ""});
    recfs::ReplaceResult result = recfs::ReplaceResult::WriteFailed;
    written(ui_, forecast::writeCsv(path, rows, &result), result, path);
}

void TFrmForecast::BtnIcsClick() {
    const std::string path = exportPath("导出ICS", "iCalendar文件|*.ics", "ics");
    if (path.empty()) return;
    MYiDateEx calendar;
    const std::string text = forecast::listsIcs(hits_, subject_.natal, subject_.name, events_, calendar, clock());
    recfs::ReplaceResult result = recfs::ReplaceResult::WriteFailed;
    written(ui_, forecast::writeTextFile(path, text, &result), result, path);
}

void TFrmForecast::drawTimeline(CanvasRecorder*& out, int& w, int& h, bool withList) {
    forecast::TimelineLayout l;
    w = l.width;
    const int timelineHeight = l.height(rows_.size());
    const int lineHeight = 16;
    const int listRows = withList ? LstEvents->rowCount() : 0;
    h = timelineHeight + (withList ? 8 + lineHeight * listRows : 0);
    // The recording is replayed at any size; the image under it only takes the first drawing.
    exportDrawing_.reset();
    exportCanvas_.reset();
    exportImage_ = std::make_unique<QImage>(w, h, QImage::Format_RGB32);
    exportImage_->fill(Qt::white);
    exportCanvas_ = std::make_unique<QImageCanvas>(*exportImage_);
    exportDrawing_ = std::make_unique<CanvasRecorder>(*exportCanvas_);
    CanvasRecorder* recorder = exportDrawing_.get();
    forecast::drawTimeline(*recorder, rows_, t1_, t2_, clock(), l);
    for (int r = 0, y = timelineHeight + 8; r < listRows; ++r) {
        if (LstEvents->isRowHidden(r)) continue;
        std::string line;
        for (int c = 0; c < LstEvents->columnCount(); ++c)
            if (const QTableWidgetItem* item = LstEvents->item(r, c)) line += item->text().toStdString() + "  ";
        recorder->textOut(4, y, line);
        y += lineHeight;
    }
    out = recorder;
}

// The PDF: the timeline on the first A4 landscape page, then the list as it is shown (filter
// and order), as many lines a page as fit.
void TFrmForecast::BtnPdfClick() {
    const std::string path = exportPath("导出PDF", "PDF文件|*.pdf", "pdf");
    if (path.empty()) return;
    CanvasRecorder* drawing = nullptr;
    int w = 0, h = 0;
    drawTimeline(drawing, w, h, false);
    // Encoded in memory, then put in place by the safe writer.
    QByteArray bytes;
    bool ok = false;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setTitle(qs("行运与天象"));
        pdf.setCreator(QStringLiteral("Tarmin"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setResolution(96);
        QPainter p;
        if (p.begin(&pdf)) {
            const QRect page = p.viewport();
            if (!rows_.empty()) {
                const double scale = std::min(page.width() / static_cast<double>(w), page.height() / static_cast<double>(h));
                p.save();
                p.scale(scale, scale);
                PainterCanvas canvas(p, w, h);
                drawing->replay(canvas);
                p.restore();
            }
            p.setFont(songFont(9));
            const int lineHeight = p.fontMetrics().height() + 2;
            int y = rows_.empty() ? 0 : page.height();
            for (int r = 0; r < LstEvents->rowCount(); ++r) {
                if (LstEvents->isRowHidden(r)) continue;
                if (y + lineHeight > page.height()) {
                    if (y > 0) pdf.newPage();
                    y = 0;
                }
                int x = 0;
                for (int c = 0; c < LstEvents->columnCount(); ++c) {
                    if (const QTableWidgetItem* item = LstEvents->item(r, c))
                        p.drawText(x, y + p.fontMetrics().ascent(), item->text());
                    x += c == 0 || c >= 5 ? 150 : c == 4 ? 190 : 70;
                }
                y += lineHeight;
            }
            ok = p.end();
        }
    }
    recfs::ReplaceResult result = recfs::ReplaceResult::WriteFailed;
    if (ok && !bytes.isEmpty())
        result = recfs::replaceFile(path, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    written(ui_, result == recfs::ReplaceResult::Written, result, path);
}

namespace {
// One page of the print: the recording as vectors when the printer takes them, else its image.
void printPage(Printer& printer, const CanvasRecorder& drawing, const QImage& image, int w, int h) {
    const double scale = std::min(static_cast<double>(printer.pageWidth()) / w, static_cast<double>(printer.pageHeight()) / h);
    const int right = static_cast<int>(w * scale), bottom = static_cast<int>(h * scale);
    if (!printer.drawRecording(0, 0, right, bottom, drawing, w, h))
        printer.stretchDraw(0, 0, right, bottom, pictureFromImage(image));
}
}  // namespace

// Printing: the timeline on the first page, then the list as it is shown, as many lines a page
// as fit at the timeline's scale.
void TFrmForecast::BtnPrintClick() {
    Printer& printer = ui_.printer();
    printer.setOrientation(PageOrientation::Landscape);
    if (!ui_.printDialog(printer)) return;
    CanvasRecorder* drawing = nullptr;
    int w = 0, h = 0;
    drawTimeline(drawing, w, h, false);
    const int pageHeight = std::max(1, static_cast<int>(static_cast<double>(w) * printer.pageHeight() / std::max(1, printer.pageWidth())));
    const int lineHeight = 16;
    const int linesPerPage = std::max(1, pageHeight / lineHeight - 1);
    std::vector<std::string> lines;
    for (int r = 0; r < LstEvents->rowCount(); ++r) {
        if (LstEvents->isRowHidden(r)) continue;
        std::string line;
        for (int c = 0; c < LstEvents->columnCount(); ++c)
            if (const QTableWidgetItem* item = LstEvents->item(r, c)) line += item->text().toStdString() + "  ";
        lines.push_back(line);
    }
    try {
        printer.beginJob("行运与天象");
        bool first = true;
        if (!rows_.empty()) {
            printPage(printer, *drawing, *exportImage_, w, h);
            first = false;
        }
        for (std::size_t i = 0; i < lines.size(); i += static_cast<std::size_t>(linesPerPage)) {
            if (!first) printer.newPage();
            first = false;
            QImage image(w, pageHeight, QImage::Format_RGB32);
            image.fill(Qt::white);
            QImageCanvas canvas(image);
            CanvasRecorder page(canvas);
            int y = 4;
            for (std::size_t k = i; k < std::min(lines.size(), i + static_cast<std::size_t>(linesPerPage)); ++k) {
                page.textOut(4, y, lines[k]);
                y += lineHeight;
            }
            printPage(printer, page, image, w, pageHeight);
        }
        printer.endJob();
    } catch (const std::exception&) {
        ui_.messageBox("请检查打印机能否正常工作！", "打印错误", MsgIcon::Error, MsgButtons::Ok);
    }
}

void TFrmForecast::BtnPngClick() {
    const std::string path = exportPath("时间线PNG", "PNG图片|*.png", "png");
    if (path.empty()) return;
    CanvasRecorder* drawing = nullptr;
    int w = 0, h = 0;
    drawTimeline(drawing, w, h, false);
    recfs::ReplaceResult result = recfs::ReplaceResult::WriteFailed;
    written(ui_, saveImageFile(renderRecording(*drawing, w, h, 2 * w), "PNG", path, &result), result, path);
}

void TFrmForecast::BtnSvgClick() {
    const std::string path = exportPath("时间线SVG", "SVG图片|*.svg", "svg");
    if (path.empty()) return;
    CanvasRecorder* drawing = nullptr;
    int w = 0, h = 0;
    drawTimeline(drawing, w, h, false);
    recfs::ReplaceResult result = recfs::ReplaceResult::WriteFailed;
    written(ui_, writeRecordingSvg(*drawing, w, h, path, "行运与天象", &result), result, path);
}
