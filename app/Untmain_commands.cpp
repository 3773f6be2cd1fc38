// Main window commands: topic list, the chart page (hint, centre, zoom, copy, save as picture,
// SVG or PDF, print as vectors), the reading and the comment box (editing, selection font, import, save, print), the
// reading's font and colour, quitting and help.
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolTip>
#include <algorithm>
#include <filesystem>

#include "app/SaveFormats.h"
#include "platform/core/ReplaceFile.h"
#include "platform/qt/ChartExport.h"
#include "platform/qt/JpegWriter.h"
#include "platform/qt/PictureQt.h"
#include "platform/qt/QtPrinter.h"
#include "app/Untmain.h"
#include "app/Unttxthelp.h"

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Topics

void TFrmMain::LstTitleClick() {
    QListWidgetItem* item = LstTitle->currentItem();
    if (!item) return;
    const std::string heading = item->text().toStdString() + ":";
    const int p = reading_->find(heading, 0, reading_->length());
    if (p < 0) return;
    Redtzhanxing->setFocus();
    reading_->setCaret(reading_->length());  // to the end first, so the heading scrolls to the top
    reading_->setCaret(p);
}

// ---------------------------------------------------------------------------------------------
// Chart image

void TFrmMain::ImgzhanxingMouseMove(int x, int y) {
    if (!engine_) return;
    QString hint = q(engine_->hintAt(x, y));
    // A hint of blanks only (no chart yet, or a spot without a text) shows no empty box.
    if (hint.trimmed().isEmpty()) hint.clear();
    if (hint != Imgzhanxing->toolTip()) {
        Imgzhanxing->setToolTip(hint);
        // The old text goes at once; the new one appears when the pointer rests, after the
        // application's tooltip reshow delay.
        if (QToolTip::isVisible()) QToolTip::hideText();
    }
}

// After a cast the chart page shows the middle of the chart (all of it when fitted).
void TFrmMain::centerChartImage() { ScrollPan->centre(); }

void TFrmMain::zoomChart(int direction) {
    Page1->setCurrentIndex(0);
    if (direction > 0)
        ScrollPan->zoomIn();
    else if (direction < 0)
        ScrollPan->zoomOut();
    else
        ScrollPan->fitToView();
}

void TFrmMain::MenuItem2Click() { ui_.clipboard().setPicture(pictureFromImage(chartImage_)); }

void TFrmMain::MenuItem3Click() {
    FileDialogRequest req;
    req.title = saveformats::pictureTitle(1);
    req.filter = saveformats::kPictureFilter;
    req.filterIndex = 1;
    req.overwritePrompt = true;
    for (int i = 1; i <= 7; ++i) req.filterTitles.push_back(saveformats::pictureTitle(i));
    const FileDialogResult r = ui_.savePicture(req);
    if (!r.accepted) return;
    const PictureChoice choice = saveformats::choosePicture(r.path, r.filterIndex);
    const std::string& path = choice.path;
    // Every format is encoded in memory and replaces the file only when complete.
    recfs::ReplaceResult result = recfs::ReplaceResult::WriteFailed;
    bool ok = false;
    switch (choice.format) {
        case PictureFormat::Bmp: ok = saveImageFile(chartImage_, "BMP", path, &result); break;
        case PictureFormat::Jpeg: ok = writeJpeg(chartImage_, path, nullptr, &result); break;
        case PictureFormat::Png: ok = saveImageFile(chartImage_, "PNG", path, &result); break;
        case PictureFormat::Png2x:
            ok = saveImageFile(renderRecording(canvas_, kChartWidth, kChartHeight, 2 * kChartWidth), "PNG",
                               path, &result);
            break;
        case PictureFormat::PngWidth: {
            const auto answer = ui_.inputLine("图片宽度", "图片宽度(像素, 100 - 16000):",
                                              std::to_string(2 * kChartWidth));
            if (!answer) return;
            const int width = QString::fromStdString(*answer).trimmed().toInt(&ok);
            if (!ok || width < 100 || width > 16000) {
                ui_.showError("图片宽度应在 100 与 16000 像素之间");
                return;
            }
            ok = saveImageFile(renderRecording(canvas_, kChartWidth, kChartHeight, width), "PNG", path,
                               &result);
            break;
        }
        case PictureFormat::Svg:
            ok = writeRecordingSvg(canvas_, kChartWidth, kChartHeight, path, kApplicationTitle, &result);
            break;
        case PictureFormat::Pdf:
            ok = writeRecordingPdf(canvas_, kChartWidth, kChartHeight, path, kApplicationTitle, &result);
            break;
    }
    // A picture that could not be written is reported, not announced as saved.
    if (!ok) {
        ui_.showError(recfs::replaceFailureText(result, path));
        return;
    }
    ui_.plainMessage("已保存！");
}

namespace {
// The page rectangle of the chart: as large as fits within nine tenths of the page each way,
// centred.
struct PageRect {
    int left, top, right, bottom;
    double scale;
};
PageRect fitOnPage(int pageW, int pageH, int w, int h) {
    const double scale = std::min(0.9 * pageW / w, 0.9 * pageH / h);
    const int dw = static_cast<int>(w * scale);
    const int dh = static_cast<int>(h * scale);
    const int left = (pageW - dw) / 2;
    const int top = (pageH - dh) / 2;
    return {left, top, left + dw, top + dh, scale};
}
}  // namespace

void TFrmMain::MenuItem4Click() {
    if (ui_.messageBox("准备开始打印吗？", "打印", MsgIcon::Information, MsgButtons::YesNo) !=
        MsgResult::Yes)
        return;
    Printer& printer = ui_.printer();
    // The dialog opens with the orientation in which the chart comes out larger; the one the
    // user picks is printed.
    {
        const int shortSide = std::min(printer.pageWidth(), printer.pageHeight());
        const int longSide = std::max(printer.pageWidth(), printer.pageHeight());
        const bool landscape = fitOnPage(longSide, shortSide, kChartWidth, kChartHeight).scale >
                               fitOnPage(shortSide, longSide, kChartWidth, kChartHeight).scale;
        printer.setOrientation(landscape ? PageOrientation::Landscape : PageOrientation::Portrait);
    }
    if (!ui_.printDialog(printer)) return;
    const PageRect r = fitOnPage(printer.pageWidth(), printer.pageHeight(), kChartWidth, kChartHeight);
    try {
        printer.beginJob("");
        if (!printer.drawRecording(r.left, r.top, r.right, r.bottom, canvas_, kChartWidth,
                                   kChartHeight))
            printer.stretchDraw(r.left, r.top, r.right, r.bottom, pictureFromImage(chartImage_));
        printer.endJob();
    } catch (const std::exception&) {
        ui_.messageBox("请检查打印机能否正常工作！", "打印错误", MsgIcon::Error, MsgButtons::Ok);
    }
}

// ---------------------------------------------------------------------------------------------
// Reading and comment box

void TFrmMain::ppyundoClick() { Redtzhanxing->undo(); }
void TFrmMain::RpycopyClick() { Redtzhanxing->copy(); }
void TFrmMain::RpypasteClick() { Redtzhanxing->paste(); }
void TFrmMain::RpycutClick() { Redtzhanxing->cut(); }
void TFrmMain::RpydelClick() { reading_->deleteSelection(); }
void TFrmMain::RpyselallClick() { Redtzhanxing->selectAll(); }
void TFrmMain::MenuItem21Click() { RedtPingYu->undo(); }
void TFrmMain::MenuItem6Click() { RedtPingYu->copy(); }
void TFrmMain::MenuItem7Click() { RedtPingYu->paste(); }
void TFrmMain::MenuItem25Click() { RedtPingYu->cut(); }
void TFrmMain::MenuItem26Click() { comment_->deleteSelection(); }
void TFrmMain::MenuItem27Click() { RedtPingYu->selectAll(); }

void TFrmMain::setSelectionFontFrom(QtRichText& target) {
    if (!target.hasSelection()) return;
    const auto chosen = ui_.chooseFont(target.selectionFont());
    if (chosen) target.applySelectionFont(*chosen);
}
void TFrmMain::RdtsetFClick() { setSelectionFontFrom(*reading_); }
void TFrmMain::MenuItem29Click() { setSelectionFontFrom(*comment_); }

void TFrmMain::RdyimportClick() {
    FileDialogRequest req;
    req.filter = "All.rtf|*.rtf|All.txt|*.txt";
    req.filterIndex = 1;
    const FileDialogResult r = ui_.openFile(req);
    if (!r.accepted) return;
    reading_->clear();
    reading_->setDefaultAttributes(reading_->fontSize(), Rgb{0, 0, 0}, TextStyle{});
    if (!reading_->loadFile(r.path))
        ui_.messageBox("导入文件出错，请重试一次", "重试一次", MsgIcon::None, MsgButtons::Ok);
}

void TFrmMain::saveRichText(QtRichText& target, bool askBeforeOverwrite) {
    FileDialogRequest req;
    req.filter = saveformats::kTextFilter;
    req.filterIndex = 1;
    const FileDialogResult r = ui_.saveFile(req);
    if (!r.accepted) return;
    const saveformats::TextFormat format = saveformats::textFormatOf(r.filterIndex);
    const bool rich = format == saveformats::TextFormat::Rtf;
    const std::string path = saveformats::withExtension(r.path, rich ? "rtf" : "txt");
    std::error_code ec;
    if (askBeforeOverwrite && std::filesystem::exists(path, ec) &&
        ui_.messageBox("文件已存在，要覆盖吗？", "保存", MsgIcon::Warning, MsgButtons::YesNo) !=
            MsgResult::Yes)
        return;
    std::string why;
    if (rich) {
        target.saveFile(path, false, &why);
    } else {
        why = recfs::replaceFailureText(
            recfs::replaceFile(path, saveformats::plainTextBytes(target.text(), format)), path);
    }
    if (!why.empty()) {
        ui_.showError(why);
        return;
    }
    ui_.plainMessage("已保存！");
}
void TFrmMain::RdysaveClick() { saveRichText(*reading_, true); }
void TFrmMain::MenuItem32Click() { saveRichText(*comment_, false); }

void TFrmMain::printRichText(QtRichText& target, const std::string& question) {
    if (ui_.messageBox(question, "打印", MsgIcon::Information, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    Printer& printer = ui_.printer();
    if (!ui_.printDialog(printer)) return;
    auto* qtPrinter = dynamic_cast<QtPrinter*>(&printer);
    if (!qtPrinter || !target.print(qtPrinter->qprinter(), ""))
        ui_.messageBox("打印错误，请检查打印设备！", "打印错误", MsgIcon::Error, MsgButtons::Ok);
}
void TFrmMain::RpyprtClick() { printRichText(*reading_, "确定要打印了吗？"); }
void TFrmMain::MenuItem33Click() { printRichText(*comment_, "准备开始打印吗？"); }

// ---------------------------------------------------------------------------------------------
// Reading font and colour

// The reading's face and size, for the text on screen as well as for the next reading: every
// run of the reading takes them (colours and styles stay), and its modified state is kept.
void TFrmMain::applyReadingFont(const std::string& name, int size) {
    reading_->setFontName(name);
    reading_->setFontSize(size);
    QTextCharFormat f;
    f.setFontFamilies({QImageCanvas::familyFor(name)});
    f.setFontPointSize(reading_->fontSize());
    QTextDocument* doc = Redtzhanxing->document();
    const bool wasModified = doc->isModified();
    QTextCursor all(doc);
    all.select(QTextCursor::Document);
    all.mergeCharFormat(f);
    doc->setModified(wasModified);
}

void TFrmMain::OsetmoClick() {
    applyReadingFont("宋体", 10);
    reading_->setBackgroundColor(Rgb{255, 255, 255});
    ui_.plainMessage("设置完成");
}

void TFrmMain::OmnusetfontClick() {
    FontChoice initial;
    initial.name = reading_->fontName();
    initial.size = reading_->fontSize();
    initial.effects = false;  // the reading takes a face and a size
    const auto chosen = ui_.chooseFont(initial);
    if (!chosen) return;
    applyReadingFont(chosen->name, chosen->size);
    ui_.plainMessage("设置完成");
}

void TFrmMain::OmnusetcolorClick() {
    const auto chosen = ui_.chooseColor(reading_->backgroundColor());
    if (!chosen) return;
    reading_->setBackgroundColor(*chosen);
    ui_.plainMessage("设置完成");
}

// ---------------------------------------------------------------------------------------------
// Program and help

void TFrmMain::N6Click() { close(); }
void TFrmMain::mnuH_helpClick() {
    TFrmTxtHelp help(this, script_.get());
    ui_.showModal(help);
}
