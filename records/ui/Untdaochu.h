// TFrmDaoChu "导出星盘": which cases go out (all, the category or case selected in the tree, or
// any category) and in which format (AAF, CSV, JSON); the file is asked for afterwards.
#pragma once
#include <QDialog>
#include <string>
#include <vector>

#include "platform/core/UiServices.h"

class QComboBox;
class QPushButton;

class TFrmDaoChu : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    // `selectedCase`: the name of the case selected in the tree ("" for none).
    TFrmDaoChu(const std::vector<std::string>& categories, const std::string& selectedCase,
               QWidget* parent = nullptr);

    enum class Scope { All, SelectedCase, Category };
    Scope scope() const;
    std::string category() const;  // Scope::Category
    int format() const;            // 0 AAF, 1 CSV, 2 JSON

    std::string modalTitle() const override;
    bool execModal() override { return exec() == QDialog::Accepted; }

    QComboBox* CboScope = nullptr;
    QComboBox* CboFormat = nullptr;
    QPushButton* Btnok = nullptr;
    QPushButton* Btnno = nullptr;

private:
    std::vector<std::string> categories_;
    bool hasCase_ = false;
};
