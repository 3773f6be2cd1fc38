// The main window over a temporary program folder (tests/app's fixture) with helpers for the
// case commands: seeding the store, casting a chart, answering the category dialog, finding
// tree nodes.
#pragma once
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include "platform/qt/QtRichText.h"
#include "records/ui/CaseCommands.h"
#include "records/ui/CaseTree.h"
#include "records/ui/Untflei.h"
#include "tests/app/MainWindowFixture.h"

class CasesTest : public MainWindowTest {
protected:
    static CaseRecord sample(const std::string& name, int year, const std::string& category = "家人",
                             bool male = true) {
        CaseRecord r;
        r.setName(name);
        r.setCategory(category);
        r.year = static_cast<int16_t>(year);
        r.month = 3;
        r.day = 7;
        r.hour = 9;
        r.minute = 5;
        r.male = male ? 1 : 0;
        r.province = 34;  // 未知地
        r.zone = 8;
        r.longitude = 120.0f;
        r.latitude = 30.0f;
        return r;
    }
    // Appends records to the store before the window starts.
    void seed(const std::vector<CaseRecord>& records) {
        MDataBase store;
        ASSERT_TRUE(store.Open(folder));
        for (CaseRecord r : records) ASSERT_GE(store.Append(r), 0);
    }
    std::string recordFile() const { return folder + "dat/Kelvora.dat"; }
    std::string commentFile(const std::string& commentName) const {
        return folder + "Kelvora_f/" + commentName + ".rtf";
    }
    static std::string bytesOf(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The plain text of a comment file, read back as the comment box reads it.
    static std::string commentText(const std::string& path) {
        QTextEdit edit;
        QtRichText box(edit);
        box.loadFile(path);
        return box.text();
    }
    CaseRecord stored(int number) {
        CaseRecord r{};
        db->ReadRecord(number, r);
        return r;
    }

    QTreeWidget* tree() { return window->caseTree().widget(); }
    QTreeWidgetItem* root() { return window->caseTree().root(); }
    CaseCommands& commands() { return window->caseCommands(); }
    // A category node with its case nodes made.
    QTreeWidgetItem* category(const std::string& text) {
        QTreeWidgetItem* node = window->caseTree().findCategory(text);
        if (node) window->caseTree().materialize(node);
        return node;
    }
    // Record numbers of the case nodes under a category, in tree order.
    std::vector<int> casesUnder(QTreeWidgetItem* node) {
        std::vector<int> out;
        if (node) window->caseTree().materialize(node);
        for (int i = 0; node && i < node->childCount(); ++i) out.push_back(CaseTree::numberOf(node->child(i)));
        return out;
    }
    void selectCase(int number) {
        QTreeWidgetItem* node = window->caseTree().findCase(number);
        ASSERT_NE(node, nullptr) << number;
        tree()->setCurrentItem(node);
    }
    // Casts a chart from the panel with a name and a year (3月7日 9:05, 未知地).
    void cast(const std::string& name, int year = 1985) {
        control<QLineEdit>("Edtname")->setText(QString::fromStdString(name));
        control<QLineEdit>("EdtYear")->setText(QString::number(year));
        control<QComboBox>("cbom")->setCurrentIndex(2);
        control<QComboBox>("cbod")->setCurrentIndex(6);
        control<QComboBox>("cbos")->setCurrentIndex(9);
        control<QComboBox>("cbomin")->setCurrentIndex(5);
        window->BtnpaiClick();
        ASSERT_TRUE(window->natalCast()) << window->engine()->errorText();
    }
    // "存新" into a category typed in the category dialog.
    void saveNew(const std::string& categoryText) {
        ui.answerModal(true, "分类保存", [categoryText](ModalWindow& w) {
            dynamic_cast<TFrmFenLei&>(w).CboFenLei->setEditText(QString::fromStdString(categoryText));
        });
        window->SbtoSaveClick();
    }
    std::string saveButtonText() { return control<QToolButton>("SbtoSave")->text().toStdString(); }
};
