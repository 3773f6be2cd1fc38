// The menu "盘型": synastry, composite, Davison, progressions, solar arc and returns on the natal
// chart on screen, with the small dialog each needs; "本命盘" brings the plain natal chart back.
// The case tree's "与当前盘合盘" / "组合盘" / "时空中点盘" come here through castWithCase.
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QScrollArea>
#include <QTabWidget>

#include "app/InputPanel.h"
#include "atlas/PlaceClocks.h"
#include "app/Untmain.h"

namespace {
using charttypes::Kind;

bool twoPeople(Kind k) { return k == Kind::Synastry || k == Kind::Composite || k == Kind::Davison; }

struct Entry {
    Kind kind;
    const char* caption;
    const char* name;
};
constexpr Entry kEntries[] = {
    {Kind::Natal, "本命盘", "mnuP_natal"},          {Kind::Synastry, "合盘...", "mnuP_synastry"},
    {Kind::Composite, "组合盘...", "mnuP_composite"}, {Kind::Davison, "时空中点盘...", "mnuP_davison"},
    {Kind::Progressed, "推运盘...", "mnuP_progressed"}, {Kind::SolarArc, "太阳弧盘...", "mnuP_solararc"},
    {Kind::SolarReturn, "日返照盘...", "mnuP_solarreturn"},
    {Kind::LunarReturn, "月返照盘...", "mnuP_lunarreturn"}};
// The chart request of a saved case, straight from the record: the panel is not touched, so
// the chart on screen keeps its person there. The full name, the exact offset and the zone the
// clock follows come with it.
BirthRecord requestOf(const CaseRecord& c, InputPanel& panel) {
    BirthRecord r{};
    r.name = c.displayNameUtf8();
    int32_t offset = 0;
    if (c.exactOffset(offset)) r.utcOffsetSeconds = offset;
    r.zoneId = panel.zoneOfCase(c);
    r.birth = DateTimeFields{c.year, c.month, c.day, c.hour, c.minute};
    r.zoneIndex = static_cast<int8_t>(c.zone);
    r.lunar = c.lunar ? 1 : 0;
    r.leapMonth = c.leap ? 1 : 0;
    r.male = c.male ? 1 : 0;
    r.provinceIndex = c.province;
    r.cityIndex = c.city;
    r.longitude = c.longitude;
    r.latitude = c.latitude;
    r.bloodType = static_cast<uint8_t>(c.blood & 3);
    return r;
}
}  // namespace

void TFrmMain::buildTypesMenu() {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8("盘型(&X)"));
    menu->setObjectName(QStringLiteral("mnuPanXing"));
    for (const Entry& e : kEntries) {
        QAction* a = menu->addAction(QString::fromUtf8(e.caption));
        a->setObjectName(QString::fromLatin1(e.name));
        const Kind kind = e.kind;
        connect(a, &QAction::triggered, this, [this, kind] { guarded([&] { chartTypeClick(kind); }); });
        if (e.kind == Kind::Natal) menu->addSeparator();
    }
    menu->addSeparator();
    QAction* forecast = menu->addAction(QString::fromUtf8("行运与天象..."));
    forecast->setObjectName(QStringLiteral("mnuP_forecast"));
    connect(forecast, &QAction::triggered, this, [this] { guarded([&] { mnuP_forecastClick(); }); });
}

void TFrmMain::chartTypeClick(Kind kind) {
    if (!natalCast_ || !engine_) {
        ui_.messageBox("请先排一个本命盘。", "提示", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    if (kind == Kind::Natal) {
        std::string error;
        if (!castCase(birth_, error)) ui_.messageBox(error, "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    // The saved cases offered as second person, in record order.
    std::vector<int> numbers;
    std::vector<std::string> names;
    if (twoPeople(kind)) {
        db_.Find(CaseFilter{}, numbers);
        for (const int n : numbers) {
            CaseRecord rec{};
            names.push_back(db_.ReadRecord(n, rec) ? rec.displayNameUtf8() : std::string("?"));
        }
    }
    if (panXing_.date.year == 0) {
        const LocalMinute now = ui_.clock().now();
        panXing_.date = DateTimeFields{static_cast<int16_t>(now.year), static_cast<int16_t>(now.month),
                                       static_cast<int16_t>(now.day), 0, 0};
        panXing_.year = now.year;
        panXing_.month = now.month;
    }
    {
        TFrmPanXing dialog(kind, names, panXing_, ui_, this);
        if (!ui_.showModal(dialog)) return;
    }
    charttypes::TypeRequest q;
    q.kind = kind;
    q.a = birth_;
    q.to = panXing_.date;
    q.year = panXing_.year;
    q.month = panXing_.month;
    if (twoPeople(kind)) {
        const int person = panXing_.person;
        if (person <= 0) {
            if (!panel_->readRequest(ui_, q.b)) return;
        } else {
            CaseRecord rec{};
            if (person > static_cast<int>(numbers.size()) ||
                !db_.ReadRecord(numbers[static_cast<std::size_t>(person - 1)], rec))
                return;
            if (rec.displayNameUtf8().empty()) {
                ui_.messageBox("姓名不能为空", "提示", MsgIcon::Information, MsgButtons::Ok);
                return;
            }
            if (rec.year < 1600 || rec.year > 2200) {
                ui_.messageBox("年份必须在1600到2200年之间", "年份错误", MsgIcon::Warning, MsgButtons::Ok);
                return;
            }
            q.b = requestOf(rec, *panel_);
        }
    }
    if ((kind == Kind::SolarReturn || kind == Kind::LunarReturn) && panXing_.place == 1) {
        BirthRecord here;
        if (!panel_->readRequest(ui_, here)) return;
        q.returnPlace = true;
        q.returnAt = here;
    }
    showChartType(q);
}

void TFrmMain::castWithCase(Kind kind, const CaseRecord& c) {
    if (!natalCast_ || !engine_) {
        ui_.messageBox("请先排一个本命盘。", "提示", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    charttypes::TypeRequest q;
    q.kind = kind;
    q.a = birth_;
    q.b = requestOf(c, *panel_);
    showChartType(q);
}

bool TFrmMain::showChartType(const charttypes::TypeRequest& q) {
    charttypes::TypeResult result;
    std::string error;
    typedNames_ = {q.a.name, q.b.name};  // drawn as typed in any script
    // The Davison place has no zone of its own: the atlas finds the clock in force there.
    const atlas::ZoneClocks clocks(q.kind == Kind::Davison ? &panel_->worldAtlas() : nullptr);
    const bool ok = charttypes::castChartType(*engine_, q, result, error, clocks);
    chartTypeShown(q, result, ok);
    Imgzhanxing->update();
    describeChart();
    if (!ok) {
        ui_.messageBox(error, "错误", MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    Page1->setCurrentIndex(0);
    ScrollPan->horizontalScrollBar()->setValue(0);
    ScrollPan->verticalScrollBar()->setValue(0);
    centerChartImage();
    return true;
}

void TFrmMain::describeChart() {
    std::string text;
    if (engine_ && engine_->mode() != ChartMode::None) {
        text = engine_->caption();
        if (text.empty()) text = engine_->mode() == ChartMode::Transit ? "流年盘" : "本命盘";
        for (const std::string& line : engine_->captionLines()) text += " " + line;
    }
    Imgzhanxing->setAccessibleDescription(QString::fromStdString(text));
}
