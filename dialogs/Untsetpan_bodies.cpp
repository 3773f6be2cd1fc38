// The further bodies of "排盘设置": the group "小行星" (Chiron and the four asteroids, each its
// own check box) and the group "恒星" (the named fixed stars in conjunction, their orb, their
// marks on the zodiac ring).
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <string>

#include "astro/Asteroids.h"
#include "chart/ChartSettings.h"
#include "dialogs/Untsetpan.h"
#include "platform/qt/Controls.h"

namespace {
constexpr const char* kAsteroidControls[5] = {"ChkChiron", "ChkCeres", "ChkPallas", "ChkJuno",
                                              "ChkVesta"};
// The star orb in half degrees from 0.5 to 5 (stored in arcminutes).
constexpr int kStarOrbSteps = 10;
}  // namespace

void TFrmSetPan::buildBodies(QVBoxLayout* col) {
    GrpAsteroids = new QGroupBox(qs("小行星"), this);
    GrpAsteroids->setObjectName(QStringLiteral("GrpAsteroids"));
    nameControl(GrpAsteroids, "小行星");
    auto* row = new QHBoxLayout(GrpAsteroids);
    for (int b = 0; b < asteroids::kCount; ++b) {
        const std::size_t i = static_cast<std::size_t>(b);
        ChkAsteroids[b] = new QCheckBox(qs(asteroids::Names[i]), GrpAsteroids);
        ChkAsteroids[b]->setObjectName(QString::fromLatin1(kAsteroidControls[b]));
        row->addWidget(ChkAsteroids[b]);
    }
    row->addStretch(1);
    col->addWidget(GrpAsteroids);

    GrpStars = new QGroupBox(qs("恒星"), this);
    GrpStars->setObjectName(QStringLiteral("GrpStars"));
    nameControl(GrpStars, "恒星");
    auto* stars = new QHBoxLayout(GrpStars);
    ChkStars = new QCheckBox(qs("恒星"), GrpStars);
    ChkStars->setObjectName(QStringLiteral("ChkStars"));
    CbxStarOrb = fixedList(GrpStars, "CbxStarOrb", "恒星误差");
    for (int k = 1; k <= kStarOrbSteps; ++k)
        CbxStarOrb->addItem(QString::number(k * 0.5) + QChar(0x00B0), k * 30);
    ChkStarMarks = new QCheckBox(qs("黄道环上标出"), GrpStars);
    ChkStarMarks->setObjectName(QStringLiteral("ChkStarMarks"));
    stars->addWidget(ChkStars);
    stars->addWidget(labelFor(CbxStarOrb, "恒星误差", GrpStars));
    stars->addWidget(CbxStarOrb);
    stars->addWidget(ChkStarMarks);
    stars->addStretch(1);
    col->addWidget(GrpStars);
}

void TFrmSetPan::showBodies(const ChartSettings& s) {
    for (std::size_t b = 0; b < s.asteroids.size(); ++b) ChkAsteroids[b]->setChecked(s.asteroids[b]);
    ChkStars->setChecked(s.fixedStars);
    // An orb between the steps shows the step at or below it.
    const int step = s.starOrb / 30;
    CbxStarOrb->setCurrentIndex(step >= 1 && step <= kStarOrbSteps ? step - 1 : 1);
    ChkStarMarks->setChecked(s.starMarks);
}

void TFrmSetPan::takeBodies(ChartSettings& s) const {
    for (std::size_t b = 0; b < s.asteroids.size(); ++b) s.asteroids[b] = ChkAsteroids[b]->isChecked();
    s.fixedStars = ChkStars->isChecked();
    s.starOrb = CbxStarOrb->currentData().toInt();
    s.starMarks = ChkStarMarks->isChecked();
}
