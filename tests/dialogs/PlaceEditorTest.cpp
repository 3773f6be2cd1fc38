// The place editor over dat/dili.ini: lists, the fields as stored, the question, the two range
// messages, the written value, and a failed write that leaves the table whole.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <sys/stat.h>

#include "DialogTestSupport.h"
#include "dialogs/Untdili.h"
#include "tests/support/ScriptedUi.h"

namespace {
const char* const kTable =
    "[福建省]\n福州市=119:18*26:5\n厦门市=118:5*24:29\n怪地=-120:30*26.5:x\n[北京市]\n北京=116:24*39:54\n";

struct PlaceEditorTest : ::testing::Test {
    void SetUp() override {
        folder = dialogtest::programFolder("dili");
        path = folder + "dat/dili.ini";
        dialogtest::writeUtf8AsGbk(path, kTable);
    }
    static std::string fields(const TFrmDiLi& d) {
        return d.LedtJingDu->text().toStdString() + "," + d.LedtJingFen->text().toStdString() + "," +
               d.LedtWeiDu->text().toStdString() + "," + d.LedtWeiFen->text().toStdString();
    }
    static void type(TFrmDiLi& d, const char* jd, const char* jf, const char* wd, const char* wf) {
        d.LedtJingDu->setText(QString::fromUtf8(jd));
        d.LedtJingFen->setText(QString::fromUtf8(jf));
        d.LedtWeiDu->setText(QString::fromUtf8(wd));
        d.LedtWeiFen->setText(QString::fromUtf8(wf));
    }
    std::string folder, path;
    testui::ScriptedUi ui;
};
}  // namespace

TEST_F(PlaceEditorTest, ListsAndFieldsComeFromTheTable) {
    TFrmDiLi d(ui, folder);
    dialogtest::expectFrame(d, "经纬度修改", 9);
    EXPECT_EQ(d.BtoEdit->text().toStdString(), "修改");
    EXPECT_EQ(d.Label1->text().toStdString(), "经度");
    EXPECT_EQ(d.Label2->text().toStdString(), "纬度");
    // Room for a sign: every degree value the check accepts can be typed (-179, -89).
    EXPECT_EQ(d.LedtJingDu->maxLength(), 4);
    EXPECT_EQ(d.LedtWeiDu->maxLength(), 3);
    ASSERT_EQ(d.CboSheng->count(), 34);
    EXPECT_EQ(d.CboSheng->itemText(33).toStdString(), "澳门");
    ASSERT_EQ(d.CboShi->count(), 3);
    EXPECT_EQ(d.CboShi->currentText().toStdString(), "福州市");
    EXPECT_EQ(fields(d), "119,18,26,5");
    // A value the fields cannot hold as it stands is not cut short: those parts show empty.
    d.CboShi->setCurrentIndex(2);
    d.CboShiClick();
    EXPECT_EQ(fields(d), "-120,30,,");
    d.CboSheng->setCurrentIndex(1);
    d.CboShengClick();
    EXPECT_EQ(fields(d), "116,24,39,54");
    // A province without a section: no places, nothing to store.
    d.CboSheng->setCurrentIndex(2);
    d.CboShengClick();
    EXPECT_EQ(d.CboShi->count(), 0);
    d.BtoEditClick();
    EXPECT_TRUE(ui.calls().empty());
}

TEST_F(PlaceEditorTest, QuestionRangeMessagesAndTheWrittenValue) {
    TFrmDiLi d(ui, folder);
    type(d, "119", "05", "26", "5");
    ui.answerNo("确定要修改：福建省福州市 的经纬度数据吗？");
    d.BtoEdit->click();
    EXPECT_EQ(ui.lastCall().caption, "注意了");
    EXPECT_EQ(ui.lastCall().icon, MsgIcon::Warning);
    EXPECT_EQ(ui.lastCall().buttons, MsgButtons::YesNo);
    EXPECT_EQ(ui.lastCall().defaultButton, MsgResult::No);
    EXPECT_EQ(dialogtest::readBytes(path), gbk::fromUtf8(kTable));

    // The values are checked before the question: a value that cannot be stored is refused
    // with what the check accepts, and nothing is asked.
    const char* const lon = "经度度数在-179到179之间，分数在0到59之间";
    const char* const lat = "纬度度数在-89到89之间，分数在0到59之间";
    const struct {
        const char *jd, *jf, *wd, *wf, *message;
    } refused[] = {
        {"180", "0", "26", "5", lon}, {"119", "60", "26", "5", lon}, {"119", "", "26", "5", lon},
        {"1a", "5", "26", "5", lon},  {"119", "5", "90", "5", lat},  {"119", "5", "26", "", lat},
        {"-180", "0", "26", "5", lon}, {"119", "5", "-90", "0", lat}, {"119", "5", "26", "60", lat},
        {"179", "60", "26", "5", lon},
    };
    for (const auto& c : refused) {
        type(d, c.jd, c.jf, c.wd, c.wf);
        const std::size_t asked = ui.calls().size();
        ui.expectMessage(c.message);
        d.BtoEditClick();
        EXPECT_EQ(ui.calls().size(), asked + 1) << c.jd << " " << c.jf << " " << c.wd << " " << c.wf;
        EXPECT_EQ(ui.lastCall().caption, "输入错误");
        EXPECT_EQ(ui.lastCall().icon, MsgIcon::Error);
    }
    EXPECT_EQ(dialogtest::readBytes(path), gbk::fromUtf8(kTable));

    // Leading zeros go; the dialog stays open and shows the stored value when the place is
    // picked again.
    type(d, "119", "05", "26", "05");
    ui.answerYes().expectPlain("完成");
    d.BtoEditClick();
    EXPECT_NE(d.result(), QDialog::Accepted);
    std::string expected = kTable;
    expected.replace(expected.find("119:18*26:5"), 11, "119:5*26:5");
    for (std::size_t p = 0; (p = expected.find('\n', p)) != std::string::npos; p += 2) expected.insert(p, "\r");
    EXPECT_EQ(dialogtest::readBytes(path), gbk::fromUtf8(expected));
    d.CboShi->setCurrentIndex(1);
    d.CboShiClick();
    d.CboShi->setCurrentIndex(0);
    d.CboShiClick();
    EXPECT_EQ(fields(d), "119,5,26,5");
    // The ends of what is accepted are stored.
    type(d, "-179", "59", "-89", "59");
    ui.answerYes().expectPlain("完成");
    d.BtoEditClick();
    EXPECT_NE(dialogtest::readBytes(path).find(gbk::fromUtf8("福州市=-179:59*-89:59")), std::string::npos);
}

TEST_F(PlaceEditorTest, FailedWriteLeavesTheTableWholeAndSaysSo) {
    ::chmod(path.c_str(), 0444);
    TFrmDiLi d(ui, folder);
    type(d, "119", "5", "26", "5");
    ui.answerYes().expectError("无法写入文件“" + path + "”（可能是只读文件或磁盘已满）。\n经纬度数据没有保存，原有的数据保持不变。");
    d.BtoEditClick();
    EXPECT_EQ(dialogtest::readBytes(path), gbk::fromUtf8(kTable));
    // Still usable: another place shows, and a write after the file is writable again works.
    ::chmod(path.c_str(), 0644);
    ui.answerYes().expectPlain("完成");
    d.BtoEditClick();
    EXPECT_NE(dialogtest::readBytes(path).find(gbk::fromUtf8("福州市=119:5*26:5")), std::string::npos);
}

TEST_F(PlaceEditorTest, OpensAtThePlaceSelectedInTheMainWindowAndCloses) {
    TFrmDiLi d(ui, folder);
    EXPECT_EQ(d.BtnClose->text().toStdString(), "关闭");
    d.selectPlace(0, "厦门市");
    EXPECT_EQ(d.CboShi->currentText().toStdString(), "厦门市");
    EXPECT_EQ(fields(d), "118,5,24,29");
    d.selectPlace(1, "北京");
    EXPECT_EQ(d.CboSheng->currentText().toStdString(), "北京市");
    EXPECT_EQ(fields(d), "116,24,39,54");
    // A place the table does not list (the panel's "未知地"): the province's first place.
    d.selectPlace(0, "未知地");
    EXPECT_EQ(d.CboShi->currentText().toStdString(), "福州市");
    d.selectPlace(40, "北京");  // beyond the list: as it was
    EXPECT_EQ(d.CboSheng->currentText().toStdString(), "福建省");
    d.show();
    d.BtnClose->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(ui.calls().empty());
}
