// The chart options of "排盘设置": precise calculation, house system, the orb of each major
// aspect, the minor aspects and their orb, the further points, and the progressed angles.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <string>

#include "chart/ChartSettings.h"
#include "chart/HouseSystems.h"
#include "dialogs/Untsetpan.h"
#include "platform/qt/Controls.h"

namespace {
constexpr int kMaxOptionOrb = 15;
constexpr const char* kOrbCaptions[5] = {"相合容许度", "六分容许度", "四分容许度",
                                         "三分容许度", "相冲容许度"};

// Orbs 1..15 whole degrees; the box of a major aspect starts with "通用" (0, the common orb).
QComboBox* orbBox(QWidget* parent, const char* name, const char* caption, bool withCommon) {
    QComboBox* box = fixedList(parent, name, caption);
    if (withCommon) box->addItem(qs("通用"));
    for (int d = 1; d <= kMaxOptionOrb; ++d) box->addItem(QString::number(d));
    return box;
}

void setOrbChoice(QComboBox* box, int orb, bool withCommon) {
    const int index = withCommon ? orb : orb - 1;
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : 0);
}

int orbChoice(const QComboBox* box, bool withCommon) {
    return withCommon ? box->currentIndex() : box->currentIndex() + 1;
}
}  // namespace

void TFrmSetPan::buildOptions(QVBoxLayout* col) {
    ChkPrecise = new QCheckBox(qs("精确计算"), this);
    ChkPrecise->setObjectName(QStringLiteral("ChkPrecise"));
    col->addWidget(ChkPrecise);

    GrpOptions = new QGroupBox(qs("星盘选项"), this);
    GrpOptions->setObjectName(QStringLiteral("GrpOptions"));
    nameControl(GrpOptions, "星盘选项");
    auto* grid = new QGridLayout(GrpOptions);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    CbxHouses = fixedList(GrpOptions, "CbxHouses", "宫位制");
    for (HouseSystem s : AllHouseSystems) {
        const char letter = static_cast<char>(s);
        CbxHouses->addItem(qs(houseSystemName(s)) + QStringLiteral(" (%1)").arg(QChar(letter)),
                           QChar(letter));
    }
    grid->addWidget(labelFor(CbxHouses, "宫位制", GrpOptions), 0, 0);
    grid->addWidget(CbxHouses, 0, 1, 1, 3);

    for (int k = 0; k < 5; ++k) {
        const std::string name = "CbxOrb" + std::to_string(k);
        CbxOrbs[k] = orbBox(GrpOptions, name.c_str(), kOrbCaptions[k], true);
        const int row = 1 + k / 2;
        const int column = (k % 2) * 2;
        grid->addWidget(labelFor(CbxOrbs[k], kOrbCaptions[k], GrpOptions), row, column);
        grid->addWidget(CbxOrbs[k], row, column + 1);
    }

    ChkMinor = new QCheckBox(qs("次要相位"), GrpOptions);
    ChkMinor->setObjectName(QStringLiteral("ChkMinor"));
    CbxMinorOrb = orbBox(GrpOptions, "CbxMinorOrb", "次要相位容许度", false);
    grid->addWidget(ChkMinor, 4, 0, 1, 2);
    grid->addWidget(labelFor(CbxMinorOrb, "次要相位容许度", GrpOptions), 4, 2);
    grid->addWidget(CbxMinorOrb, 4, 3);

    ChkTrueNode = new QCheckBox(qs("真升交点"), GrpOptions);
    ChkTrueNode->setObjectName(QStringLiteral("ChkTrueNode"));
    ChkLilith = new QCheckBox(qs("莉莉丝"), GrpOptions);
    ChkLilith->setObjectName(QStringLiteral("ChkLilith"));
    ChkFortune = new QCheckBox(qs("福点"), GrpOptions);
    ChkFortune->setObjectName(QStringLiteral("ChkFortune"));
    auto* points = new QHBoxLayout;
    points->addWidget(ChkTrueNode);
    points->addWidget(ChkLilith);
    points->addWidget(ChkFortune);
    points->addStretch(1);
    grid->addLayout(points, 5, 0, 1, 4);
    col->addWidget(GrpOptions);

    // How the progressed chart's MC moves (the ascendant and cusps follow from it).
    GrpProgAngles = new QGroupBox(qs("推运角度"), this);
    GrpProgAngles->setObjectName(QStringLiteral("GrpProgAngles"));
    nameControl(GrpProgAngles, "推运角度");
    auto* angles = new QHBoxLayout(GrpProgAngles);
    CbxProgAngles = fixedList(GrpProgAngles, "CbxProgAngles", "推运天顶");
    CbxProgAngles->addItem(qs("太阳弧"));
    CbxProgAngles->addItem(qs("奈波德(赤经)"));
    CbxProgAngles->addItem(qs("推运时刻的盘"));
    angles->addWidget(labelFor(CbxProgAngles, "推运天顶", GrpProgAngles));
    angles->addWidget(CbxProgAngles, 1);
    col->addWidget(GrpProgAngles);
    buildBodies(col);
}

void TFrmSetPan::showOptions(const ChartSettings& s) {
    ChkPrecise->setChecked(s.precise);
    const int house = CbxHouses->findData(QChar(s.houseSystem));
    CbxHouses->setCurrentIndex(house >= 0 ? house : 0);
    for (std::size_t k = 0; k < 5; ++k) setOrbChoice(CbxOrbs[k], s.majorOrbs[k], true);
    ChkMinor->setChecked(s.minorAspects);
    setOrbChoice(CbxMinorOrb, s.minorOrb, false);
    ChkTrueNode->setChecked(s.trueNode);
    ChkLilith->setChecked(s.lilith);
    ChkFortune->setChecked(s.fortune);
    CbxProgAngles->setCurrentIndex(s.progressedAngles);
    showBodies(s);
}

void TFrmSetPan::takeOptions(ChartSettings& s) const {
    s.precise = ChkPrecise->isChecked();
    const QVariant letter = CbxHouses->currentData();
    s.houseSystem = letter.isValid() ? static_cast<char>(letter.toChar().toLatin1()) : 'P';
    for (std::size_t k = 0; k < 5; ++k) s.majorOrbs[k] = orbChoice(CbxOrbs[k], true);
    s.minorAspects = ChkMinor->isChecked();
    s.minorOrb = orbChoice(CbxMinorOrb, false);
    s.trueNode = ChkTrueNode->isChecked();
    s.lilith = ChkLilith->isChecked();
    s.fortune = ChkFortune->isChecked();
    s.progressedAngles = CbxProgAngles->currentIndex() < 0 ? 0 : CbxProgAngles->currentIndex();
    takeBodies(s);
}
