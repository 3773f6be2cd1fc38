// The input panel's world places and clocks: the city search across the world atlas and the
// province table, the place actually used (world city, province and city, or typed
// coordinates), and the clock of the place at the birth from the time-zone database, asked
// about before casting when it differs from the panel's zone.
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>

#include "app/InputPanel.h"
#include "atlas/TimeZones.h"
#include "calendar/Yidateex.h"
#include "chart/PlaceText.h"
#include "chart/WordLists.h"
#include "dialogs/ClockQuestions.h"
#include "platform/qt/WidgetScript.h"
#include "platform/qt/Controls.h"

namespace {
// Zone list index of a whole-hour offset (0..12 east, 13..23 west one to eleven).
int zoneIndexOfHours(int hours) {
    if (hours > 12) hours = 12;
    if (hours < -11) hours = 12;
    return hours >= 0 ? hours : 12 - hours;
}

// "UTC+9", "UTC-4", "UTC+5:30" as the question shows an offset.
std::string shortOffset(int seconds) {
    const int a = std::abs(seconds);
    char buf[32];
    if (a % 3600 == 0)
        std::snprintf(buf, sizeof buf, "UTC%c%d", seconds < 0 ? '-' : '+', a / 3600);
    else
        std::snprintf(buf, sizeof buf, "UTC%c%d:%02d", seconds < 0 ? '-' : '+', a / 3600, a / 60 % 60);
    return buf;
}

// The standard (winter) offset of a zone in recent years, for the zone list.
int standardOffset(const std::string& zone) {
    for (int month : {1, 7}) {
        const atlas::ZoneAnswer a = atlas::offsetAt(zone, {2000, month, 15, 12, 0});
        if (a.kind == atlas::WallTimeKind::Unique && !a.summerTime) return a.offsetSeconds;
    }
    return atlas::offsetAt(zone, {2000, 1, 15, 12, 0}).offsetSeconds;
}

bool near(float a, double b) { return std::fabs(static_cast<double>(a) - b) <= 0.5 / 60 + 1e-4; }

// The Gregorian wall time of a birth as entered (a lunar date converted); false when the lunar
// date does not exist (the engine reports that).
bool wallTimeOf(const DateTimeFields& entered, bool lunar, bool leap, atlas::WallTime& t) {
    DateTimeFields g = entered;
    if (lunar) {
        MYiDateEx calendar;
        std::string error;
        if (!calendar.lunarToGregorian(entered, leap, g, error)) return false;
        g.hour = entered.hour;
        g.minute = entered.minute;
    }
    t = {g.year, g.month, g.day, g.hour, g.minute};
    return true;
}

// What a clock answer was given for: the zone, the wall time and the panel's zone.
std::string clockKey(const std::string& zone, const atlas::WallTime& t, int panelSeconds) {
    char key[160];
    std::snprintf(key, sizeof key, "%s|%d-%d-%d %d:%d|%d", zone.c_str(), t.year, t.month, t.day, t.hour,
                  t.minute, panelSeconds);
    return key;
}
}  // namespace

void InputPanel::buildCitySearch(QVBoxLayout* col) {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    EdtCity = new QLineEdit(this);
    EdtCity->setObjectName(QStringLiteral("EdtCity"));
    EdtCity->setPlaceholderText(qs("中文或英文城市名"));
    EdtCity->setToolTip(qs("城市搜索：世界城市与省份地名"));
    grid->addWidget(labelFor(EdtCity, "城市", this), 0, 0);
    grid->addWidget(EdtCity, 0, 1);
    col->addLayout(grid);
    CboCity = fixedList(this, "CboCity", "城市搜索结果");
    CboCity->setToolTip(qs("城市搜索结果"));
    col->addWidget(CboCity);
    LblCast = new QLabel(this);
    LblCast->setObjectName(QStringLiteral("LblCast"));
    LblCast->setWordWrap(true);
    LblCast->setAccessibleDescription(qs("排盘地点与时钟"));
    col->addWidget(LblCast);
}

void InputPanel::showCast(const BirthRecord& r) {
    std::string clock = r.utcOffsetSeconds == BirthRecord::kZoneListOffset
                            ? zoneText(zoneOffset(r.zoneIndex))
                            : atlas::offsetText(r.utcOffsetSeconds) +
                                  (lastLocalMean_ ? " 地方平时" : lastSummer_ ? " 夏令时" : "");
    LblCast->setText(qs("地点:" + r.place + "\n时钟:" + clock));
}

atlas::WorldAtlas& InputPanel::atlas() {
    if (!atlas_) atlas_ = std::make_unique<atlas::WorldAtlas>(programFolder_ + "dat/dili.ini");
    return *atlas_;
}

void InputPanel::citySearchEdited() {
    const std::string text = EdtCity->text().trimmed().toStdString();
    CboCity->clear();
    found_.clear();
    if (text.empty()) return;
    found_ = atlas().find(text, 40);
    for (const auto& p : found_) CboCity->addItem(qs(p.label()));
    if (found_.empty()) CboCity->addItem(qs("（没有找到）"));
}

std::optional<atlas::Place> InputPanel::provinceEntryOf(const atlas::Place& city) {
    // The same name (with or without "市") within half a degree.
    auto bare = [](std::string n) {
        const std::string shi = "市";
        if (n.size() > shi.size() && n.compare(n.size() - shi.size(), shi.size(), shi) == 0)
            n.resize(n.size() - shi.size());
        return n;
    };
    for (const atlas::Place& q : atlas().find(city.name, 50))
        if (!q.world && bare(q.name) == bare(city.name) && std::fabs(q.longitude - city.longitude) < 0.5 &&
            std::fabs(q.latitude - city.latitude) < 0.5)
            return q;
    return std::nullopt;
}

void InputPanel::citySearchPicked() {
    const int i = CboCity->currentIndex();
    if (i < 0 || i >= static_cast<int>(found_.size())) return;
    atlas::Place p = found_[static_cast<std::size_t>(i)];
    // A world city that is a place of the province table is taken as that entry.
    if (p.world)
        if (const auto entry = provinceEntryOf(p)) p = *entry;
    typed_ = false;
    if (!p.world) {
        cbodiZ->setCurrentIndex(p.province);
        provinceChosen();
        if (p.city >= 0 && p.city < cbodiC->count()) {
            cbodiC->setCurrentIndex(p.city);
            cityChosen();
        }
        Cboshiqu->setCurrentIndex(zoneIndexOfHours(standardOffset(p.zoneId) / 3600));
    } else {
        cbodiZ->setCurrentIndex(kUnknownProvince);
        provinceChosen();
        worldCity_ = p;
        ledtjing->setText(qs(degreesText(static_cast<float>(p.longitude))));
        ledtwei->setText(qs(degreesText(static_cast<float>(p.latitude))));
        const int standard = standardOffset(p.zoneId);
        Cboshiqu->setCurrentIndex(zoneIndexOfHours(static_cast<int>(std::lround(standard / 3600.0))));
    }
    // The place line shows the pick at once; its clock is settled at the next cast.
    LblCast->setText(qs("地点:" + placeText(false) + "\n时钟:" + p.zoneId));
}

bool InputPanel::coordinatesTyped(float longitude, float latitude) const {
    if (worldCity_) return !near(longitude, worldCity_->longitude) || !near(latitude, worldCity_->latitude);
    const int city = cbodiC->currentIndex();
    if (cbodiZ->currentIndex() == cbodiZ->count() - 1) return !near(longitude, 120.0) || !near(latitude, 30.0);
    if (city < 0 || city >= static_cast<int>(cityLongitudes_.size())) return true;
    const std::size_t k = static_cast<std::size_t>(city);
    return !near(longitude, cityLongitudes_[k]) || !near(latitude, cityLatitudes_[k]);
}

std::string InputPanel::placeZone() const {
    if (typed_) return std::string();
    if (worldCity_) return worldCity_->zoneId;
    if (cbodiZ->currentIndex() != cbodiZ->count() - 1) return atlas::provinceZone(cbodiZ->currentIndex());
    return std::string();
}

bool InputPanel::settleClock(UiServices& ui, BirthRecord& r) {
    std::string zone, placeName;
    if (worldCity_) {
        zone = worldCity_->zoneId;
        placeName = worldCity_->name;
    } else if (cbodiZ->currentIndex() != cbodiZ->count() - 1) {
        zone = atlas::provinceZone(cbodiZ->currentIndex());
        placeName = sourceText(cbodiC).toStdString();
    }
    lastAnswer_ = 0;
    lastSummer_ = false;
    // Typed coordinates and the unknown place keep the zone list's clock.
    atlas::WallTime t;
    if (typed_ || zone.empty() || !wallTimeOf(r.birth, r.lunar != 0, r.leapMonth != 0, t)) return true;
    const atlas::ZoneAnswer a = atlas::offsetAt(zone, t, static_cast<double>(r.longitude));
    const int panel = zoneOffset(r.zoneIndex) * 3600;
    lastLocalMean_ = false;
    char day[64];
    std::snprintf(day, sizeof day, "%d年%d月%d日", t.year, t.month, t.day);
    const std::string key = clockKey(zone, t, panel);
    if (a.kind == atlas::WallTimeKind::UnknownZone) return true;
    if (a.kind == atlas::WallTimeKind::Skipped) {
        clockq::tellSkipped(ui, zone, t, a);
        return false;
    }
    int32_t offset = a.offsetSeconds;
    std::string question;
    const bool repeated = a.kind == atlas::WallTimeKind::Repeated;
    if (repeated) {
        offset = a.earlierOffsetSeconds;
    } else if (offset == panel) {
        r.zoneId = zone;
        return true;  // the zone list's clock is right: cast as always
    } else if (a.localMeanTime) {
        question = std::string(day) + " " + placeName + "尚未使用标准时间，当时的时钟是当地的地方平时（经度÷15，" +
                   atlas::offsetText(offset) + "）。按地方平时排盘？";
    } else if (a.summerTime) {
        question = std::string(day) + " " + placeName + "处于夏令时（" + shortOffset(offset) +
                   "）：出生证明上的时间通常是夏令时。按夏令时排盘？";
    } else if (offset % 3600 != 0) {
        // No zone of the list has it: the list shows the nearest whole hour, whoever chose it.
        question = std::string(day) + " " + placeName + "的时钟是" + shortOffset(offset) +
                   "，时区列表只有整点时区。按" + shortOffset(offset) + "排盘？（选“否”按" +
                   zoneText(zoneOffset(r.zoneIndex)) + "）";
    } else {
        question = std::string(day) + " " + placeName + "的时钟是" + shortOffset(offset) + "，与所选的" +
                   zoneText(zoneOffset(r.zoneIndex)) + "不同。按" + shortOffset(offset) + "排盘？";
    }
    int answer = 0;
    if (clockAnswer_.key == key && clockAnswer_.answer != 0) {
        answer = clockAnswer_.answer;
    } else if (repeated) {
        // The two offsets are the answers; closing the box casts nothing.
        const int picked = clockq::askRepeated(ui, zone, t, a);
        if (picked < 0) return false;
        answer = picked + 1;
    } else {
        answer = ui.messageBox(question, a.summerTime ? "夏令时" : "时区", MsgIcon::Information,
                               MsgButtons::YesNo) == MsgResult::Yes
                     ? 1
                     : 2;
    }
    clockAnswer_ = {key, answer};
    lastAnswer_ = answer;
    if (repeated && answer == 2) offset = a.laterOffsetSeconds;
    // 否 to a differing offset: the panel's zone, exactly as before.
    if ((answer == 1 || repeated) && offset != panel) r.utcOffsetSeconds = offset;
    // The clock follows the database: the chart types read it at their own instants too.
    if (answer == 1 || repeated) r.zoneId = zone;
    lastSummer_ = r.utcOffsetSeconds != BirthRecord::kZoneListOffset && (repeated ? answer == 1 : a.summerTime);
    lastLocalMean_ = r.utcOffsetSeconds != BirthRecord::kZoneListOffset && a.localMeanTime;
    return true;
}

void InputPanel::storeWorldFields(const BirthRecord& r, CaseRecord& c) const {
    c.setFullName(r.name);
    c.setExactOffset(r.utcOffsetSeconds != BirthRecord::kZoneListOffset, r.utcOffsetSeconds);
    c.setWorldCity(worldCity_ ? worldCity_->worldIndex : -1);
    c.setTypedPlace(typed_);
    c.setSummerAnswer(lastAnswer_);
}

void InputPanel::restoreWorldFields(const CaseRecord& c) {
    typed_ = c.typedPlace();
    worldCity_.reset();
    clockAnswer_ = {};
    lastAnswer_ = c.summerAnswer();
    int32_t exact = 0;
    lastSummer_ = lastAnswer_ == 1 && c.exactOffset(exact);
    // Only the local mean time of a longitude has seconds.
    lastLocalMean_ = c.exactOffset(exact) && exact % 60 != 0;
    if (lastLocalMean_) lastSummer_ = false;
    const int32_t city = c.worldCity();
    if (city >= 0) {
        const auto p = atlas().worldCity(city);
        // The atlas of another version may number its cities otherwise: a city that does not
        // lie where the case was cast is not taken; the coordinates stay, as typed ones.
        if (p && near(c.longitude, p->longitude) && near(c.latitude, p->latitude)) worldCity_ = p;
        else typed_ = true;
    }
    // The answer stands for the same moment and zone: casting the case again does not ask again.
    atlas::WallTime t;
    const DateTimeFields entered{c.year, c.month, c.day, c.hour, c.minute};
    if (lastAnswer_ != 0 && wallTimeOf(entered, c.lunar == 1, c.leap != 0, t)) {
        const std::string zone = worldCity_ ? worldCity_->zoneId
                                 : (c.province >= 0 && c.province < kUnknownProvince) ? atlas::provinceZone(c.province)
                                                                                      : std::string();
        clockAnswer_ = {clockKey(zone, t, zoneOffset(c.zone) * 3600), lastAnswer_};
    }
}

std::string InputPanel::zoneOfCase(const CaseRecord& c) {
    // A clock declined (否) or typed coordinates keep the case's fixed offset.
    if (c.typedPlace() || c.summerAnswer() == 2) return std::string();
    const int32_t city = c.worldCity();
    if (city >= 0) {
        const auto p = atlas().worldCity(city);
        return p && near(c.longitude, p->longitude) && near(c.latitude, p->latitude) ? p->zoneId : std::string();
    }
    return c.province >= 0 && c.province < kUnknownProvince ? atlas::provinceZone(c.province) : std::string();
}
