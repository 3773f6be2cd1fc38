#include "dialogs/Untsetpan.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "chart/ChartSettings.h"
#include "dialogs/DialogFrame.h"
#include "platform/core/IniFile.h"
#include "platform/qt/Controls.h"
#include "platform/qt/UpDown.h"

namespace {
constexpr int kMinOrb = 1;
constexpr int kMaxOrb = 10;
}  // namespace

TFrmSetPan::TFrmSetPan(UiServices& ui, const std::string& programFolder, QWidget* parent)
    : QDialog(parent), ui_(ui) {
    build();
    FormCreate(programFolder);
    fixAndCentre(this);
}

TFrmSetPan::~TFrmSetPan() = default;

void TFrmSetPan::build() {
    setObjectName(QStringLiteral("FrmSetPan"));
    setWindowTitle(qs("排盘设置"));
    setModal(true);
    setFont(songFont(9));

    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(12, 12, 12, 10);
    col->setSpacing(10);

    GroupBox1 = new QGroupBox(qs("背景色"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    nameControl(GroupBox1, "背景色");
    auto* colour = new QHBoxLayout(GroupBox1);
    LabColor = new QLabel(GroupBox1);
    LabColor->setObjectName(QStringLiteral("LabColor"));
    LabColor->setFixedSize(49, 49);
    nameControl(LabColor, "当前背景色");
    Button1 = new QPushButton(qs("设置"), GroupBox1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    colour->addWidget(LabColor);
    colour->addSpacing(12);
    colour->addWidget(Button1);
    colour->addStretch(1);
    col->addWidget(GroupBox1);

    auto* orbRow = new QHBoxLayout;
    orbRow->setSpacing(4);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    // Typed (1-10) or stepped with the arrows; the arrows count from what is typed.
    Edit1->setValidator(new QIntValidator(kMinOrb, kMaxOrb, Edit1));
    Edit1->setMaxLength(2);
    Edit1->setFixedWidth(36);
    Label1 = labelFor(Edit1, "相位最大允许误差值(度)", this);
    Label1->setObjectName(QStringLiteral("Label1"));
    UDownPos = new TUpDown(this);
    UDownPos->setObjectName(QStringLiteral("UDownPos"));
    UDownPos->setRange(kMinOrb, kMaxOrb);
    nameControl(UDownPos, "相位最大允许误差值(度)");
    orbRow->addWidget(Label1);
    orbRow->addWidget(Edit1);
    orbRow->addWidget(UDownPos);
    orbRow->addStretch(1);
    col->addLayout(orbRow);

    ChkLine = new QCheckBox(qs("显示星座界线"), this);
    ChkLine->setObjectName(QStringLiteral("ChkLine"));
    col->addWidget(ChkLine);
    buildOptions(col);

    auto* buttons = new QHBoxLayout;
    Button2 = new QPushButton(qs("默认值"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAutoDefault(false);
    BitBtn2 = new QPushButton(qs("确认"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setDefault(true);
    BitBtn1 = new QPushButton(qs("取消"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAutoDefault(false);
    buttons->addWidget(Button2);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn1);
    col->addLayout(buttons);

    connect(UDownPos, &TUpDown::clicked, this, [this] { setOrb(UDownPos->position()); });
    connect(Edit1, &QLineEdit::textEdited, this, [this](const QString& text) {
        bool ok = false;
        const int typed = text.toInt(&ok);
        if (ok && typed >= kMinOrb && typed <= kMaxOrb) UDownPos->setPosition(typed);
    });
    connect(Button1, &QPushButton::clicked, this, &TFrmSetPan::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFrmSetPan::Button2Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFrmSetPan::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
}

void TFrmSetPan::FormCreate(const std::string& programFolder) {
    file_ = std::make_unique<IniFile>(chartSettingsPath(programFolder));
    const ChartSettings s = ChartSettings::load(*file_);
    // The arrows hold 1..10: a stored orb outside shows at the nearer end.
    setOrb(s.orb);
    setSwatch(Rgb::fromBgr(static_cast<uint32_t>(s.backgroundColor)));
    ChkLine->setChecked(s.signLines != 0);
    showOptions(s);
}

int TFrmSetPan::orb() const {
    bool ok = false;
    const int typed = Edit1->text().toInt(&ok);
    return ok && typed >= kMinOrb && typed <= kMaxOrb ? typed : 0;
}

void TFrmSetPan::setOrb(int orb) {
    UDownPos->setPosition(orb);  // clamped into the range
    Edit1->setText(QString::number(UDownPos->position()));
}

void TFrmSetPan::setSwatch(Rgb color) {
    color_ = color;
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02X%02X%02X", color.r, color.g, color.b);
    LabColor->setStyleSheet(QStringLiteral("QLabel { background-color: %1; border: 1px solid gray; }")
                                .arg(QString::fromLatin1(hex)));
    LabColor->setAccessibleDescription(QString::fromLatin1(hex));
}

void TFrmSetPan::Button1Click() {
    if (const auto chosen = ui_.chooseColor(color_)) setSwatch(*chosen);
}

void TFrmSetPan::Button2Click() {
    const ChartSettings defaults;
    setOrb(defaults.orb);
    setSwatch(Rgb::fromBgr(static_cast<uint32_t>(defaults.backgroundColor)));
    ChkLine->setChecked(defaults.signLines != 0);
    showOptions(defaults);
}

void TFrmSetPan::BitBtn2Click() {
    if (!file_) return;
    if (orb() == 0) {
        ui_.messageBox("相位最大允许误差值在1到10度之间", "输入错误", MsgIcon::Error, MsgButtons::Ok);
        Edit1->setFocus();
        return;
    }
    ChartSettings s;
    s.orb = orb();
    s.backgroundColor = static_cast<int32_t>(color_.toBgr());
    s.signLines = ChkLine->isChecked() ? 1 : 0;
    takeOptions(s);
    try {
        s.save(*file_);
    } catch (const IniWriteError& e) {
        ui_.showError(e.what());
        return;
    }
    accept();
}

void TFrmSetPan::FormClose() { file_.reset(); }

void TFrmSetPan::done(int result) {
    FormClose();
    QDialog::done(result);
}
