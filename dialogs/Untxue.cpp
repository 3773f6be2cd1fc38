#include "dialogs/Untxue.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "chart/BloodTypes.h"
#include "dialogs/DialogFrame.h"
#include "platform/qt/Controls.h"

namespace {
constexpr const char* kTypeItems[] = {"A型", "B型", "AB型", "O型"};
constexpr const char* kStyleItems[] = {"性格", "配血", "遗传"};
}  // namespace

TFrmXue::TFrmXue(QWidget* parent) : QDialog(parent) {
    build();
    fixAndCentre(this);
}

void TFrmXue::build() {
    setObjectName(QStringLiteral("FrmXue"));
    setWindowTitle(qs("血型测试"));
    setModal(true);
    setFont(songFont(9));

    // A radio group: a frame with its buttons in `columns` columns, the first checked.
    const auto group = [this](const char* name, const char* caption, const char* accessible,
                              const auto& items, int columns, QButtonGroup*& buttons) {
        auto* box = new QGroupBox(qs(caption), this);
        box->setObjectName(QString::fromLatin1(name));
        nameControl(box, accessible);
        auto* grid = new QGridLayout(box);
        buttons = new QButtonGroup(box);
        int id = 0;
        for (const char* item : items) {
            auto* b = new QRadioButton(qs(item), box);
            b->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(id));
            buttons->addButton(b, id);
            grid->addWidget(b, id / columns, id % columns);
            ++id;
        }
        buttons->button(0)->setChecked(true);
        return box;
    };
    RdoStyle = group("RdoStyle", "", "测试项目", kStyleItems, 3, styleButtons);
    RdoOne = group("RdoOne", "自己血型", "自己血型", kTypeItems, 1, oneButtons);
    RdoTow = group("RdoTow", "对方血型", "对方血型", kTypeItems, 1, towButtons);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(songFont(10.5));
    Memo1->setStyleSheet(QStringLiteral("QPlainTextEdit { color: #0000FF; }"));
    Memo1->setFixedSize(300, 220);
    nameControl(Memo1, "检测结果");

    BtnCheck = new QPushButton(qs("检测"), this);
    BtnCheck->setObjectName(QStringLiteral("BtnCheck"));

    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(10, 10, 10, 10);
    col->addWidget(RdoStyle);
    auto* row = new QHBoxLayout;
    auto* types = new QVBoxLayout;
    types->addWidget(RdoOne);
    types->addWidget(RdoTow);
    types->addStretch(1);
    row->addLayout(types);
    row->addWidget(Memo1, 1);
    col->addLayout(row);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnCheck);
    col->addLayout(buttons);

    connect(BtnCheck, &QPushButton::clicked, this, &TFrmXue::BtnCheckClick);
    // Every way a choice changes (mouse, arrow keys, a screen reader) checks a button.
    const auto onCheck = [this](QButtonGroup* g, void (TFrmXue::*handler)()) {
        connect(g, &QButtonGroup::idToggled, this, [this, handler](int, bool checked) {
            if (checked) (this->*handler)();
        });
    };
    onCheck(styleButtons, &TFrmXue::RdoStyleClick);
    onCheck(oneButtons, &TFrmXue::RdoOneClick);
    onCheck(towButtons, &TFrmXue::RdoTowClick);
}

int TFrmXue::styleIndex() const { return styleButtons->checkedId(); }
int TFrmXue::oneIndex() const { return oneButtons->checkedId(); }
int TFrmXue::towIndex() const { return towButtons->checkedId(); }

void TFrmXue::select(int style, int one, int tow) {
    if (QAbstractButton* b = styleButtons->button(style)) b->click();
    if (QAbstractButton* b = oneButtons->button(one)) b->click();
    if (QAbstractButton* b = towButtons->button(tow)) b->click();
}

void TFrmXue::setCaption(QGroupBox* group, const std::string& caption) {
    group->setTitle(qs(caption));
    nameControl(group, caption.c_str());
}

void TFrmXue::BtnCheckClick() {
    static constexpr blood::Question kQuestions[] = {
        blood::Question::Character, blood::Question::Transfusion, blood::Question::Inheritance};
    const int style = styleIndex();
    if (style < 0 || style > 2) return;
    const blood::Answer a = blood::answer(kQuestions[style], oneIndex(), towIndex());
    Memo1->setPlainText(qs(a.text));
    setCaption(RdoOne, a.firstCaption);
    setCaption(RdoTow, a.secondCaption);
}
