// Cases under the traditional interface: what the user typed (name, category, comment) is kept
// byte for byte, reads back the same in the simplified interface, and a search finds a name in
// either script.
#include "CasesFixture.h"
#include "records/ui/CaseTreeScript.h"

namespace {
// The tree's drawing of a node, as the delegate hands it to the style.
struct TreeProbe : CaseTreeScript {
    using CaseTreeScript::CaseTreeScript;
    QString shown(const QModelIndex& index) const {
        QStyleOptionViewItem o;
        initStyleOption(&o, index);
        return o.text;
    }
};
}  // namespace

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

    // The tree draws its own words converted and the typed name and category as typed.
    ASSERT_NE(category("客戶"), nullptr);
    TreeProbe probe(window->script(), nullptr);
    const QAbstractItemModel* model = tree()->model();
    const QModelIndex rootIndex = model->index(0, 0);
    const QModelIndex categoryIndex = model->index(0, 0, rootIndex);
    const QModelIndex caseIndex = model->index(0, 0, categoryIndex);
    EXPECT_EQ(probe.shown(categoryIndex).toStdString(), "客戶");
    EXPECT_EQ(probe.shown(caseIndex).toStdString().rfind("張三  公1985-3-7", 0), 0u)
        << probe.shown(caseIndex).toStdString();

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
