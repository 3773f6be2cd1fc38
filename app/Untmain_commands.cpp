// Main window commands: topic list, the chart image (drag, hint, centre, copy, save,
// print), the reading and the comment box (editing, selection font, import, save, print), the
// reading's font and colour, quitting and help.
#include <QBuffer>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolTip>
#include <filesystem>

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

void TFrmMain::ImgzhanxingMouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton) return;
    dragging_ = true;
    dragX_ = x;
    dragY_ = y;
}

void TFrmMain::ImgzhanxingMouseUp(Qt::MouseButton button, int, int) {
    if (button == Qt::LeftButton) dragging_ = false;
}

void TFrmMain::ImgzhanxingMouseMove(int x, int y) {
    if (engine_) {
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
    if (dragging_) moveChartImage(Imgzhanxing->x() + x - dragX_, Imgzhanxing->y() + y - dragY_);
}

void TFrmMain::moveChartImage(int left, int top) {
    Imgzhanxing->move(left, top);
    const QSize view = ScrollPan->viewport()->size();
    chartHolder_->resize(std::max(view.width(), left + Imgzhanxing->width()),
                         std::max(view.height(), top + Imgzhanxing->height()));
}

void TFrmMain::centerChartImage() {
    const QSize view = ScrollPan->viewport()->size();
    int left = (view.width() - Imgzhanxing->width()) / 2;
    int top = (view.height() - Imgzhanxing->height()) / 2;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    moveChartImage(left, top);
}

void TFrmMain::MenuItem2Click() { ui_.clipboard().setPicture(pictureFromImage(chartImage_)); }

void TFrmMain::MenuItem3Click() {
    FileDialogRequest req;
    req.title = "另存为Bmp图片";
    req.filter = "bmp格式|*.bmp|jpg格式|*.jpg";
    req.filterIndex = 1;
    req.overwritePrompt = true;
    const FileDialogResult r = ui_.savePicture(req);
    if (!r.accepted) return;
    bool ok = false;
    std::string path;
    if (r.filterIndex == 2) {
        path = r.path + ".jpg";
        ok = writeJpeg(chartImage_, path);
    } else {
        path = r.path + ".bmp";
        ok = chartImage_.save(q(path), "BMP");
    }
    // A picture that could not be written is reported, not announced as saved.
    if (!ok) {
        ui_.showError("Unable to write to " + path);
        return;
    }
    ui_.plainMessage("已保存！");
}

void TFrmMain::MenuItem4Click() {
    if (ui_.messageBox("准备开始打印吗？", "打印", MsgIcon::Information, MsgButtons::YesNo) !=
        MsgResult::Yes)
        return;
    Printer& printer = ui_.printer();
    printer.setOrientation(PageOrientation::Portrait);
    if (!ui_.printDialog(printer)) return;
    if (printer.orientation() != PageOrientation::Portrait) {
        ui_.plainMessage("只支持垂直打印！");
        return;
    }
    const float ratio = static_cast<float>(chartImage_.height()) / static_cast<float>(chartImage_.width());
    const int pageW = printer.pageWidth();
    const int pageH = printer.pageHeight();
    const int w = static_cast<int>(static_cast<float>(pageW) * 0.9f);
    const int h = static_cast<int>(static_cast<float>(w) * ratio);
    const int left = (pageW - w) / 2;
    const int top = static_cast<int>(static_cast<float>(pageH) * 0.1f);
    // The picture goes through an in-memory bitmap, as the clipboard would carry it.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    chartImage_.save(&buffer, "BMP");
    QImage copy;
    copy.loadFromData(bytes, "BMP");
    try {
        printer.beginJob("");
        printer.stretchDraw(left, top, left + w, top + h, pictureFromImage(copy));
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
    req.filter = "Rtf格式|*.rtf|Txt格式|*.txt";
    req.filterIndex = 1;
    const FileDialogResult r = ui_.saveFile(req);
    if (!r.accepted) return;
    const bool plain = r.filterIndex == 2;
    const std::string path = r.path + (plain ? ".txt" : ".rtf");
    std::error_code ec;
    if (askBeforeOverwrite && std::filesystem::exists(path, ec) &&
        ui_.messageBox("文件已存在，要覆盖吗？", "保存", MsgIcon::Warning, MsgButtons::YesNo) !=
            MsgResult::Yes)
        return;
    std::string why;
    if (!target.saveFile(path, plain, &why)) {
        ui_.showError("Unable to write to " + path);
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
    TFrmTxtHelp help(this);
    ui_.showModal(help);
}
