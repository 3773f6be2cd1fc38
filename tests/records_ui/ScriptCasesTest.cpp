// Cases under the traditional interface: what the user typed (name, category, comment) is kept
// byte for byte, reads back the same in the simplified interface, and a search finds a name in
// either script.
#include "CasesFixture.h"

TEST_F(CasesTest, TraditionalInterfaceKeepsTypedTextsAndSearchFindsEitherScript) {
    start();
    window->setTextScript(TextScript::Taiwan);
    cast("張三");
    // A comment typed in simplified characters stays so on screen and on disk.
    window->comment().setText("天蝎座的评语");
    window->setTextScript(TextScript::Taiwan);  // one more pass over the windows
    EXPECT_EQ(control<QLineEdit>("Edtname")->text().toStdString(), "張三");
    EXPECT_EQ(window->comment().text(), "天蝎座的评语");
    saveNew("客戶");
    ASSERT_EQ(db->Count(), 1);
    EXPECT_EQ(stored(0).nameGbk(), gbk::fromUtf8("張三"));
    EXPECT_EQ(stored(0).categoryGbk(), gbk::fromUtf8("客戶"));
    EXPECT_EQ(commentText(commentFile("張三_198503070905")), "天蝎座的评语");

    // Back in simplified characters, the case opens as it was saved.
    window->setTextScript(TextScript::Simplified);
    selectCase(0);
    commands().openCase();
    EXPECT_EQ(control<QLineEdit>("Edtname")->text().toStdString(), "張三");
    EXPECT_EQ(window->comment().text(), "天蝎座的评语");
    EXPECT_EQ(stored(0).nameGbk(), gbk::fromUtf8("張三"));

    for (const char* typed : {"张三", "張三", "张"}) {
        CaseFilter f;
        f.nameMode = 1;
        f.setNameText(typed);
        std::vector<int> found;
        db->Find(f, found);
        EXPECT_EQ(found, std::vector<int>{0}) << typed;
    }
    CaseFilter category;
    category.categoryMode = 2;
    category.setCategoryText("客户");
    std::vector<int> found;
    db->Find(category, found);
    EXPECT_EQ(found, std::vector<int>{0});
}
