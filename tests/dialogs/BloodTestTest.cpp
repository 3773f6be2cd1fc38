// The blood-type test: the transfusion and inheritance rules against their tables, and the
// dialog's answers and captions in the three modes, recomputed at every change.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "DialogTestSupport.h"
#include "chart/BloodTypes.h"
#include "chart/Catalogue.h"
#include "dialogs/Untxue.h"

namespace {
enum { A, B, AB, O };
}

TEST(BloodRules, TransfusionTable) {
    // Row donor, column recipient.
    const bool table[4][4] = {{1, 0, 1, 0}, {0, 1, 1, 0}, {0, 0, 1, 0}, {1, 1, 1, 1}};
    for (int d = 0; d < 4; ++d)
        for (int r = 0; r < 4; ++r)
            EXPECT_EQ(blood::canGive(d, r), table[d][r]) << blood::typeName(d) << "->" << blood::typeName(r);
}

TEST(BloodRules, InheritanceTableIsSymmetric) {
    const struct {
        int a, b;
        std::array<bool, 4> possible;  // A, B, AB, O
    } table[] = {
        {A, A, {1, 0, 0, 1}},  {A, B, {1, 1, 1, 1}},  {A, AB, {1, 1, 1, 0}}, {A, O, {1, 0, 0, 1}},
        {B, B, {0, 1, 0, 1}},  {B, AB, {1, 1, 1, 0}}, {B, O, {0, 1, 0, 1}},  {AB, AB, {1, 1, 1, 0}},
        {AB, O, {1, 1, 0, 0}}, {O, O, {0, 0, 0, 1}},
    };
    for (const auto& t : table) {
        EXPECT_EQ(blood::childTypes(t.a, t.b), t.possible) << t.a << "+" << t.b;
        EXPECT_EQ(blood::childTypes(t.b, t.a), t.possible) << t.b << "+" << t.a;
    }
}

TEST(BloodDialog, AnswersInTheThreeModes) {
    testqt::app();
    TFrmXue d;
    dialogtest::expectFrame(d, "血型测试", 9);
    EXPECT_EQ(d.BtnCheck->text().toStdString(), "检测");
    EXPECT_TRUE(d.Memo1->toPlainText().isEmpty());  // nothing until the first choice
    EXPECT_DOUBLE_EQ(d.Memo1->font().pointSizeF(), 10.5);
    std::vector<std::string> modes;
    for (QAbstractButton* b : d.styleButtons->buttons()) modes.push_back(b->text().toStdString());
    EXPECT_EQ(modes, (std::vector<std::string>{"性格", "配血", "遗传"}));

    const auto text = [&] { return d.Memo1->toPlainText().toStdString(); };
    const auto captions = [&] {
        return d.RdoOne->title().toStdString() + "/" + d.RdoTow->title().toStdString();
    };
    const std::string a = catalogue::text(1), b = catalogue::text(2), o = catalogue::text(4);
    ASSERT_EQ(a.rfind("A型：", 0), 0u);

    // 性格: each sketch and the relation by 10 x smaller + larger, whatever the order.
    d.select(0, A, B);
    EXPECT_EQ(text(), "☆自己-" + a + "\n\n★对方-" + b + "\n\n※双方关系-" + catalogue::text(12));
    EXPECT_EQ(captions(), "自己血型/对方血型");
    d.select(0, B, A);
    EXPECT_EQ(text(), "☆自己-" + b + "\n\n★对方-" + a + "\n\n※双方关系-" + catalogue::text(12));
    d.select(0, O, O);
    EXPECT_EQ(text(), "☆自己-" + o + "\n\n★对方-" + o + "\n\n※双方关系-" + catalogue::text(44));

    // 配血: switching the mode alone changes captions and text.
    d.styleButtons->button(1)->click();
    EXPECT_EQ(captions(), "献血者/受血者");
    EXPECT_EQ(text(), "★匹配成功:O型可以输给O型!");
    d.select(1, AB, O);
    EXPECT_EQ(text(), "▲警告:AB型不能输给O型!");
    d.select(1, O, AB);
    EXPECT_EQ(text(), "★匹配成功:O型可以输给AB型!");
    d.select(1, A, B);
    EXPECT_EQ(text(), "▲警告:A型不能输给B型!");

    // 遗传.
    d.styleButtons->button(2)->click();
    EXPECT_EQ(captions(), "父亲血型/母亲血型");
    EXPECT_EQ(text(), "★子女可能血型:A型,B型,AB型,O型。\n\n▲子女不可能血型:");  // A x B
    d.select(2, O, O);
    EXPECT_EQ(text(), "★子女可能血型:O型。\n\n▲子女不可能血型:A型,B型,AB型。");
    d.select(2, AB, O);
    EXPECT_EQ(text(), "★子女可能血型:A型,B型。\n\n▲子女不可能血型:AB型,O型。");

    // Back to 性格: the captions return.
    d.styleButtons->button(0)->click();
    EXPECT_EQ(captions(), "自己血型/对方血型");
    EXPECT_EQ(d.RdoOne->accessibleName().toStdString(), "自己血型");
}
