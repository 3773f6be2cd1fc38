// Page "相位表": the aspect list of the chart on screen, each aspect with its exact orb and
// whether it is applying or separating. With a transit shown, the transit's aspects to the natal
// chart follow; with a chart type shown, its own list: the aspects between the two sets of
// points for synastry, progressions and solar arc (after the natal chart's own), the chart's own
// aspects for composite, Davison and returns.
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "app/Untmain.h"
#include "chart/Zhanxing.h"

namespace {
using charttypes::Kind;

// Heading of a chart type's list on the page.
std::string typeHeading(const charttypes::TypeRequest& q, const charttypes::TypeResult& r) {
    switch (r.kind) {
    case Kind::Synastry: return "合盘相位(" + q.b.name + "对" + q.a.name + "):";
    case Kind::Progressed: return "推运对本命相位:";
    case Kind::SolarArc: return "太阳弧对本命相位:";
    default: return std::string(charttypes::kindName(r.kind)) + "相位:";
    }
}
}  // namespace

void TFrmMain::buildAspectPage() {
    RedtAspects = new QPlainTextEdit;
    RedtAspects->setObjectName(QStringLiteral("RedtAspects"));
    RedtAspects->setAccessibleName(QString::fromUtf8("相位表"));
    RedtAspects->setReadOnly(true);
    RedtAspects->setLineWrapMode(QPlainTextEdit::NoWrap);
    RedtAspects->setTabStopDistance(QFontMetrics(RedtAspects->font()).horizontalAdvance(QString::fromUtf8("流天王星")) + 12);
    Page1->addTab(RedtAspects, QString::fromUtf8("相位表"));
}

void TFrmMain::chartTypeShown(const charttypes::TypeRequest& q, const charttypes::TypeResult& r,
                              bool ok) {
    if (ok) {
        if (&q != &typeRequest_) typeRequest_ = q;
        typeResult_ = r;
    } else if (engine_ && engine_->caption().empty()) {
        // Refused by a cast: the natal chart (or nothing) is on screen now.
        typeResult_ = charttypes::TypeResult{};
    }
    showAspectList();
}

void TFrmMain::showAspectList() {
    if (!RedtAspects) return;
    QString text;
    auto section = [&](const std::string& heading, const std::vector<std::string>& lines) {
        if (!text.isEmpty()) text += QLatin1Char('\n');
        text += QString::fromStdString(heading) + QLatin1Char('\n');
        if (lines.empty()) text += QString::fromUtf8("(无相位)\n");
        for (const std::string& l : lines) text += QString::fromStdString(l) + QLatin1Char('\n');
    };
    const bool typeShown = engine_ && !engine_->caption().empty() &&
                           typeResult_.kind != charttypes::Kind::Natal;
    if (typeShown) {
        if (typeResult_.hasInner) section("本命盘相位:", engine_->aspectList(false));
        section(typeHeading(typeRequest_, typeResult_), typeResult_.aspectText);
    } else if (engine_ && engine_->mode() != ChartMode::None) {
        section("本命盘相位:", engine_->aspectList(false));
        if (engine_->mode() == ChartMode::Transit) section("流年对本命相位:", engine_->aspectList(true));
    }
    RedtAspects->setPlainText(text);
}
