// The dark skin Mx3 over the main window: every drop-down list of the input panel shows its
// longest entry whole ("12月", not "12丿"), and a check box shows whether it is ticked.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "MainWindowFixture.h"
#include "app/InputPanel.h"

namespace {
QString mx3Sheet() {
    std::ifstream in(std::string(TARMIN_SOURCE_DIR) + "/resources/skins/Mx3.skn", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    return QString::fromStdString(gbk::toUtf8(bytes));
}
struct SheetScope {
    explicit SheetScope(const QString& sheet) { qApp->setStyleSheet(sheet); }
    ~SheetScope() { qApp->setStyleSheet(QString()); }
};
}  // namespace

TEST_F(MainWindowTest, SkinMx3ShowsListTextsWholeAndCheckBoxStates) {
    const QString sheet = mx3Sheet();
    ASSERT_FALSE(sheet.isEmpty());
    SheetScope scope(sheet);
    TFrmMain& w = start();
    w.show();
    QCoreApplication::processEvents();
    w.panel().cbom->setCurrentIndex(11);
    if (const char* shot = std::getenv("TARMIN_SKIN_SHOT")) w.panel().grab().save(QString::fromUtf8(shot));
    for (QComboBox* box : w.panel().findChildren<QComboBox*>()) {
        if (!box->isVisible() || box->count() == 0) continue;
        int widest = 0;
        QString text;
        for (int i = 0; i < box->count(); ++i) {
            const int adv = box->fontMetrics().horizontalAdvance(box->itemText(i));
            if (adv > widest) {
                widest = adv;
                text = box->itemText(i);
            }
        }
        if (box->objectName() == "cbodiZ" || box->objectName() == "cbodiC") continue;  // place names
        QStyleOptionComboBox opt;
        opt.initFrom(box);
        opt.editable = box->isEditable();
        opt.currentText = text;
        const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                         QStyle::SC_ComboBoxEditField, box);
        EXPECT_GE(field.width(), widest) << box->objectName().toStdString() << " clips " << text.toStdString();
    }

    QCheckBox on(QStringLiteral("精确计算"));
    QCheckBox off(QStringLiteral("精确计算"));
    on.setChecked(true);
    on.resize(on.sizeHint());
    off.resize(on.sizeHint());
    // The ticked box differs plainly from the empty one (not by a dark mark on a dark field).
    const QImage a = on.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage b = off.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int plain = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qGray(p) - qGray(q)) > 60) ++plain;
        }
    EXPECT_GE(plain, 80) << "the tick does not show";
    closeWithYes();
}
