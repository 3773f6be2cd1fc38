// The tree's "与当前盘合盘" / "组合盘" / "时空中点盘": the selected case against the chart on
// screen, with the checks of "查看命例", without opening the case.
#include <QLineEdit>
#include <QMenu>

#include "CasesFixture.h"

TEST_F(CasesTest, PairingWithASavedCaseDrawsTheChartTypeAndLeavesTheOpenCaseAlone) {
    seed({sample("甲", 1980), sample("早", 1500), sample("乙", 1992, "朋友", false)});
    start();
    // Without a chart the entries are off.
    selectCase(2);
    commands().updateMenu();
    auto entry = [&](const char* name) { return commands().menu()->findChild<QAction*>(name); };
    ASSERT_NE(entry("PopSynastry"), nullptr);
    EXPECT_FALSE(entry("PopSynastry")->isEnabled());

    selectCase(0);
    commands().openCase();
    ASSERT_TRUE(window->natalCast());
    selectCase(2);
    commands().updateMenu();
    for (const char* name : {"PopSynastry", "PopComposite", "PopDavison"})
        EXPECT_TRUE(entry(name)->isEnabled()) << name;

    entry("PopSynastry")->trigger();
    EXPECT_EQ(window->engine()->caption(), "合盘");
    EXPECT_EQ(window->engine()->captionLines(), (std::vector<std::string>{"甲(外)", "乙(内)"}));
    EXPECT_EQ(window->engine()->request().name, "甲");
    // The open case and the panel are still 甲's.
    EXPECT_TRUE(window->caseOpen());
    EXPECT_EQ(control<QLineEdit>("Edtname")->text().toStdString(), "甲");
    EXPECT_EQ(commands().openCaseNumber(), 0);

    entry("PopDavison")->trigger();
    EXPECT_EQ(window->engine()->caption(), "时空中点盘");
    entry("PopComposite")->trigger();
    EXPECT_EQ(window->engine()->caption(), "组合盘");

    // A case failing the year check: the message, and the chart on screen stays.
    selectCase(1);
    ui.expectMessage("年份必须在1600到2200年之间");
    commands().pairWithCase(charttypes::Kind::Synastry);
    EXPECT_EQ(ui.lastCall().caption, "年份错误");
    EXPECT_EQ(window->engine()->caption(), "组合盘");
    // The open case itself as second person: the same person, refused before anything is cast.
    selectCase(0);
    ui.expectMessage("两个盘是同一个人，请选择另一个人。");
    commands().pairWithCase(charttypes::Kind::Synastry);
    EXPECT_EQ(window->engine()->caption(), "组合盘");
    closeWithYes();
}

TEST_F(CasesTest, PairingKeepsFullNamesAndKnowsTheSamePersonByThem) {
    CaseRecord same = sample("", 1985);
    same.setFullName("欧阳青青长长的名字十");  // 20 GBK bytes: the name field keeps 10
    CaseRecord other = sample("", 1992, "朋友", false);
    other.setFullName("司马小小长长的名字九");
    seed({same, other});
    start();
    cast("欧阳青青长长的名字十");
    selectCase(0);
    ui.expectMessage("两个盘是同一个人，请选择另一个人。");
    commands().pairWithCase(charttypes::Kind::Synastry);
    selectCase(1);
    commands().pairWithCase(charttypes::Kind::Synastry);
    EXPECT_EQ(window->engine()->captionLines(),
              (std::vector<std::string>{"欧阳青青长长的名字十(外)", "司马小小长长的名字九(内)"}));
    closeWithYes();
}
