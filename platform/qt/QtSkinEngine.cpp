#include "platform/qt/QtSkinEngine.h"

#include <QApplication>
#include <fstream>
#include <iterator>

#include "platform/core/Gbk.h"

bool QtSkinEngine::loadSkinFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    sheet_ = QString::fromStdString(gbk::toUtf8(bytes));
    if (active_ && qApp) qApp->setStyleSheet(sheet_);
    return true;
}

void QtSkinEngine::activate() {
    active_ = true;
    if (qApp) qApp->setStyleSheet(sheet_);
}

void QtSkinEngine::deactivate() {
    active_ = false;
    if (qApp) qApp->setStyleSheet(QString());
}
