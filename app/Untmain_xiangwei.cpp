// Page "相位表": the aspect list of the chart on screen, each aspect with its exact orb and
// whether it is applying or separating; with a transit shown, the transit's aspects to the
// natal chart follow.
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "app/Untmain.h"
#include "chart/Zhanxing.h"

void TFrmMain::buildAspectPage() {
    RedtAspects = new QPlainTextEdit;
    RedtAspects->setObjectName(QStringLiteral("RedtAspects"));
    RedtAspects->setAccessibleName(QString::fromUtf8("相位表"));
    RedtAspects->setReadOnly(true);
    RedtAspects->setLineWrapMode(QPlainTextEdit::NoWrap);
    RedtAspects->setTabStopDistance(QFontMetrics(RedtAspects->font()).horizontalAdvance(QString::fromUtf8("流天王星")) + 12);
    Page1->addTab(RedtAspects, QString::fromUtf8("相位表"));
}

void TFrmMain::showAspectList() {
    if (!RedtAspects) return;
    QString text;
    if (engine_ && engine_->mode() != ChartMode::None) {
        auto section = [&](const char* heading, const std::vector<std::string>& lines) {
            text += QString::fromUtf8(heading) + QLatin1Char('\n');
            if (lines.empty()) text += QString::fromUtf8("(无相位)\n");
            for (const std::string& l : lines) text += QString::fromStdString(l) + QLatin1Char('\n');
        };
        section("本命盘相位:", engine_->aspectList(false));
        if (engine_->mode() == ChartMode::Transit) {
            text += QLatin1Char('\n');
            section("流年对本命相位:", engine_->aspectList(true));
        }
    }
    RedtAspects->setPlainText(text);
}
