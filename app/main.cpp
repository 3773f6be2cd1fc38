// Program start: the case store, the application with its title, the main window; an error that
// escapes a command or the event loop is shown in the application's error box.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QProcess>
#include <QTranslator>
#include <csignal>
#include <exception>

#include "records/Database.h"
#include "app/ProgramStart.h"
#include "platform/qt/QtUiServices.h"
#include "app/Untmain.h"
#include "platform/qt/Controls.h"
#include "platform/qt/DialogKeys.h"

namespace {
// Errors thrown out of an event handler end that command only and are shown to the user.
class TarminApplication : public QApplication {
public:
    TarminApplication(int& argc, char** argv, UiServices& ui) : QApplication(argc, argv), ui_(ui) {}
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            showEscapedError(ui_, std::current_exception());
        }
        return false;
    }

private:
    UiServices& ui_;
};
}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGXFSZ, SIG_IGN);  // a file-size limit fails a write (reported) instead of killing us
    MDataBase db;  // the one case store, opened by the main window's FormShow
    const std::string title = kApplicationTitle;
    QtUiServices ui(title);
    TarminApplication app(argc, argv, ui);
    QApplication::setApplicationName(QString::fromStdString(title));
    // The PNG needs no image plugin; the SVG is the same drawing for the desktop entry.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tarmin.png")));
    installFontSubstitutes();
    installDialogKeys();
    // The standard dialogs speak Chinese when Qt's own translations are installed.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    int rc = 0;
    bool restart = false;
    try {
        TFrmMain window(ui, db);
        ui.setParentWindow(&window);
        ui.setScript(&window.script());
        window.show();
        rc = QApplication::exec();
        restart = window.restartRequested();
        ui.setParentWindow(nullptr);
        ui.setScript(nullptr);
    } catch (...) {
        ui.setParentWindow(nullptr);
        showEscapedError(ui, std::current_exception());
    }
    // A new run after an import, started once this one has closed its window and its store.
    if (restart)
        QProcess::startDetached(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1));
    return rc;
}
