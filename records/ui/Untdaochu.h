// TFrmDaoChu "导出星盘": which cases go out (all, the case selected in the tree, or a category)
// and in which format (AAF, CSV, JSON). "确定" asks for the file and writes it with a progress
// bar; "取消" during the run stops it and writes nothing.
#pragma once
#include <QDialog>
#include <string>
#include <vector>

#include "platform/core/UiServices.h"
#include "records/Database.h"

class QComboBox;
class QProgressBar;
class QPushButton;
namespace atlas {
class WorldAtlas;
}

class TFrmDaoChu : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    // `selectedCase`: the case selected in the tree (null for none).
    TFrmDaoChu(UiServices& ui, const MDataBase& db, const atlas::WorldAtlas& atlas,
               const std::vector<std::string>& categories, const CaseRecord* selectedCase, QWidget* parent = nullptr);

    enum class Scope { All, SelectedCase, Category };
    Scope scope() const;
    std::string category() const;  // Scope::Category
    int format() const;            // 0 AAF, 1 CSV, 2 JSON
    // After "确定": the file written and the number of cases in it.
    const std::string& path() const { return path_; }
    int exported() const { return exported_; }

    void BtnokClick();
    void BtnnoClick();

    std::string modalTitle() const override;
    bool execModal() override { return exec() == QDialog::Accepted; }

    QComboBox* CboScope = nullptr;
    QComboBox* CboFormat = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* Btnok = nullptr;
    QPushButton* Btnno = nullptr;

private:
    UiServices& ui_;
    const MDataBase& db_;
    const atlas::WorldAtlas& atlas_;
    std::vector<std::string> categories_;
    bool hasCase_ = false;
    CaseRecord selected_{};
    std::string path_;
    int exported_ = 0;
    bool running_ = false;
    bool cancelled_ = false;
};
