#include "platform/qt/QtUiServices.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QClipboard>
#include <QColorDialog>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <QCursor>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QPointer>
#include <QTimer>

#include "platform/qt/PictureQt.h"
#include "platform/qt/QImageCanvas.h"

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s8(const QString& s) { return s.toStdString(); }
QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }
Rgb fromQColor(const QColor& c) {
    return Rgb{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
               static_cast<uint8_t>(c.blue())};
}
}  // namespace

void QtClipboard::setPicture(const Picture& picture) {
    QApplication::clipboard()->setImage(imageFromPicture(picture));
}
void QtClipboard::setText(const std::string& utf8) { QApplication::clipboard()->setText(q(utf8)); }
std::string QtClipboard::text() const { return s8(QApplication::clipboard()->text()); }

LocalMinute QtClock::now() const {
    const QDateTime t = QDateTime::currentDateTime();
    return LocalMinute{t.date().year(), t.date().month(), t.date().day(), t.time().hour(),
                       t.time().minute()};
}

// Re-times Qt's tooltips: while one was shown in the last two seconds Qt would show the next
// after 20 ms; this holds that tooltip event back for the reshow delay and replays it only when
// the pointer is still where it was.
class QtUiServices::HintReshow : public QObject {
public:
    HintReshow() : QObject(qApp) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { replay(); });
        qApp->installEventFilter(this);
    }
    void setDelay(int ms) { delay_ = ms; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::ToolTip || replaying_ || delay_ <= 0 || !o->isWidgetType())
            return false;
        if (!lastShown_.isValid() || lastShown_.elapsed() > kFallAsleepMs) {
            lastShown_.start();  // the first tooltip: Qt's own wake-up delay has passed already
            return false;
        }
        const auto* he = static_cast<QHelpEvent*>(e);
        target_ = static_cast<QWidget*>(o);
        pos_ = he->pos();
        globalPos_ = he->globalPos();
        timer_.start(delay_);
        return true;
    }

private:
    void replay() {
        if (!target_ || QCursor::pos() != globalPos_) return;
        QHelpEvent again(QEvent::ToolTip, pos_, globalPos_);
        replaying_ = true;
        QApplication::sendEvent(target_, &again);
        replaying_ = false;
        lastShown_.start();
    }
    static constexpr qint64 kFallAsleepMs = 2000;
    int delay_ = 0;
    bool replaying_ = false;
    QElapsedTimer lastShown_;
    QTimer timer_;
    QPointer<QWidget> target_;
    QPoint pos_, globalPos_;
};

QtUiServices::QtUiServices(std::string applicationTitle) : title_(std::move(applicationTitle)) {}

// A standard dialog belongs to the window the user is working in: one asked for by a dialog
// (the colour of the chart settings) or by the perpetual calendar, which stays on top, would
// otherwise open under it, centred on the main window.
QWidget* QtUiServices::owner() const {
    QWidget* active = QApplication::activeWindow();
    return active ? active : parent_.data();
}

void QtUiServices::setHintReshowDelay(int milliseconds) {
    if (!qApp) return;
    if (!hintReshow_) hintReshow_ = new HintReshow;  // owned by qApp
    static_cast<HintReshow*>(hintReshow_.data())->setDelay(milliseconds);
}

MsgResult QtUiServices::messageBox(const std::string& text, const std::string& caption,
                                   MsgIcon icon, MsgButtons buttons, MsgResult defaultButton) {
    // The box belongs to the window the user is working in: a message of the perpetual
    // calendar, which stays on top, would otherwise open under it, centred on the main window.
    QMessageBox box(owner());
    box.setWindowTitle(shown(caption.empty() ? title_ : caption));
    box.setText(shown(text));
    switch (icon) {
        case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    }
    if (buttons == MsgButtons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return MsgResult::Ok;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(defaultButton == MsgResult::No ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
}

int QtUiServices::chooseAnswer(const std::string& text, const std::string& caption, MsgIcon icon,
                               const std::vector<std::string>& answers) {
    QMessageBox box(owner());
    box.setWindowTitle(q(caption.empty() ? title_ : caption));
    box.setText(q(text));
    box.setIcon(icon == MsgIcon::Warning ? QMessageBox::Warning
                : icon == MsgIcon::Error ? QMessageBox::Critical
                : icon == MsgIcon::Information ? QMessageBox::Information
                                               : QMessageBox::NoIcon);
    std::vector<QPushButton*> buttons;
    for (const std::string& a : answers) {
        QPushButton* b = box.addButton(q(a), QMessageBox::AcceptRole);
        b->setAccessibleName(q(a));
        buttons.push_back(b);
    }
    QPushButton* cancel = box.addButton(q("取消"), QMessageBox::RejectRole);
    cancel->setAccessibleName(cancel->text());
    if (!buttons.empty()) box.setDefaultButton(buttons.front());
    box.setEscapeButton(cancel);
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
    return -1;
}

void QtUiServices::plainMessage(const std::string& text) {
    messageBox(text, std::string(), MsgIcon::None, MsgButtons::Ok, MsgResult::Ok);
}

std::optional<std::string> QtUiServices::inputLine(const std::string& caption,
                                                   const std::string& prompt,
                                                   const std::string& initial) {
    bool ok = false;
    const QString t =
        QInputDialog::getText(owner(), shown(caption), shown(prompt), QLineEdit::Normal, q(initial), &ok);
    if (!ok) return std::nullopt;
    return s8(t);
}

QStringList QtUiServices::nameFilters(const std::string& filter) {
    const QStringList parts = q(filter).split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return out;
}

QString QtUiServices::shown(const std::string& text) const {
    return q(script_ ? script_->shown(text) : text);
}

FileDialogResult QtUiServices::fileDialog(const FileDialogRequest& request, bool save) {
    FileDialogResult r;
    r.filterIndex = request.filterIndex;
    QFileDialog dlg(owner(), shown(request.title));
    const QStringList filters = nameFilters(s8(shown(request.filter)));
    dlg.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dlg.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.initialName.empty()) dlg.selectFile(q(request.initialName));
    if (request.filterTitles.size() == static_cast<std::size_t>(filters.size())) {
        // A desktop's own file dialog takes its title once, when it opens, and does not report
        // the type chosen in it: the title follows the type only in Qt's dialog.
        dlg.setOption(QFileDialog::DontUseNativeDialog, true);
        auto follow = [this, &dlg, &filters, &request](const QString& chosen) {
            const auto i = filters.indexOf(chosen);
            if (i >= 0) dlg.setWindowTitle(shown(request.filterTitles[static_cast<std::size_t>(i)]));
        };
        follow(dlg.selectedNameFilter());
        QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, follow);
    }
    if (save) {
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        if (!request.defaultExtension.empty()) dlg.setDefaultSuffix(q(request.defaultExtension));
        dlg.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    } else {
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::ExistingFile);
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return r;
    r.accepted = true;
    r.path = s8(dlg.selectedFiles().front());
    const int idx = static_cast<int>(filters.indexOf(dlg.selectedNameFilter()));
    if (idx >= 0) r.filterIndex = idx + 1;
    return r;
}

FileDialogResult QtUiServices::openFile(const FileDialogRequest& request) {
    return fileDialog(request, false);
}
FileDialogResult QtUiServices::saveFile(const FileDialogRequest& request) {
    return fileDialog(request, true);
}
FileDialogResult QtUiServices::savePicture(const FileDialogRequest& request) {
    return fileDialog(request, true);
}

std::optional<std::string> QtUiServices::chooseFolder(const std::string& title) {
    const QString d = QFileDialog::getExistingDirectory(owner(), shown(title));
    if (d.isEmpty()) return std::nullopt;
    return s8(d);
}

// Qt's font dialog has no colour; it sits here beside a colour button.
std::optional<FontChoice> QtUiServices::chooseFont(const FontChoice& initial) {
    QDialog dlg(owner());
    dlg.setWindowTitle(QStringLiteral("字体"));
    auto* layout = new QVBoxLayout(&dlg);  // owned by the dialog
    QFont f(QImageCanvas::familyFor(initial.name));
    f.setPointSize(initial.size > 0 ? initial.size : 10);
    f.setBold(initial.style.bold);
    f.setItalic(initial.style.italic);
    f.setUnderline(initial.style.underline);
    f.setStrikeOut(initial.style.strikeOut);
    auto* fonts = new QFontDialog(f, &dlg);
    fonts->setOptions(QFontDialog::NoButtons);
    fonts->setWindowFlags(Qt::Widget);
    // The embedded dialog takes Escape and Enter itself: they end the whole font dialog, not
    // only its inner page (which would leave an empty frame on screen).
    QObject::connect(fonts, &QDialog::rejected, &dlg, &QDialog::reject);
    QObject::connect(fonts, &QDialog::accepted, &dlg, &QDialog::accept);
    layout->addWidget(fonts);
    QColor colour = toQColor(initial.color);
    auto* row = new QHBoxLayout;
    auto* swatch = new QLabel(&dlg);
    swatch->setFixedSize(40, 20);
    swatch->setStyleSheet(QStringLiteral("background:%1;border:1px solid gray").arg(colour.name()));
    auto* pick = new QPushButton(QStringLiteral("颜色..."), &dlg);
    QObject::connect(pick, &QPushButton::clicked, &dlg, [&]() {
        const QColor c = QColorDialog::getColor(colour, &dlg);
        if (!c.isValid()) return;
        colour = c;
        swatch->setStyleSheet(QStringLiteral("background:%1;border:1px solid gray").arg(c.name()));
    });
    row->addWidget(new QLabel(QStringLiteral("颜色:"), &dlg));
    row->addWidget(swatch);
    row->addWidget(pick);
    row->addStretch();
    layout->addLayout(row);
    if (!initial.effects) {
        // Face and size only: the effects and the colour would be ignored by the caller.
        for (QGroupBox* group : fonts->findChildren<QGroupBox*>())
            if (!group->findChildren<QCheckBox*>().isEmpty()) group->hide();
        for (int i = 0; i < row->count(); ++i)
            if (QWidget* w = row->itemAt(i)->widget()) w->hide();
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    layout->addWidget(buttons);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const QFont chosen = fonts->currentFont();
    FontChoice r;
    r.name = QImageCanvas::programFontName(chosen.family());
    r.size = chosen.pointSize() > 0 ? chosen.pointSize() : initial.size;
    r.style.bold = chosen.bold();
    r.style.italic = chosen.italic();
    r.style.underline = chosen.underline();
    r.style.strikeOut = chosen.strikeOut();
    r.color = fromQColor(colour);
    return r;
}

std::optional<Rgb> QtUiServices::chooseColor(Rgb initial) {
    const QColor c = QColorDialog::getColor(toQColor(initial), owner());
    if (!c.isValid()) return std::nullopt;
    return fromQColor(c);
}

bool QtUiServices::printDialog(Printer& printer) {
    auto* qp = dynamic_cast<QtPrinter*>(&printer);
    if (!qp) return false;
    QPrintDialog dlg(&qp->qprinter(), owner());
    return dlg.exec() == QDialog::Accepted;
}

void QtUiServices::showError(const std::string& message) {
    messageBox(message, title_, MsgIcon::Error, MsgButtons::Ok, MsgResult::Ok);
}
