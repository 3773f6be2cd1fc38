// Program start: the case store, the application with its title, the main window; an error that
// escapes the event loop is shown in the application's error box.
#include <QApplication>
#include <exception>

#include "Database.h"
#include "QtUiServices.h"
#include "Untmain.h"

int main(int argc, char** argv) {
    MDataBase db;  // the one case store, opened by the main window's FormShow
    QApplication app(argc, argv);
    const std::string title = "Tarmin天文占星 3.6";
    QApplication::setApplicationName(QString::fromStdString(title));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tarmin.svg")));
    QtUiServices ui(title);
    int rc = 0;
    try {
        TFrmMain window(ui, db);
        ui.setParentWindow(&window);
        window.show();
        rc = QApplication::exec();
    } catch (const std::exception& e) {
        ui.setParentWindow(nullptr);
        ui.showError(e.what());
    } catch (...) {
        ui.setParentWindow(nullptr);
        ui.showError(std::string());
    }
    return rc;
}
