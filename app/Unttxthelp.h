// TFrmTxtHelp: the help window "软件帮助", three read-only text pages.
#pragma once
#include <QDialog>

#include "platform/core/UiServices.h"

class QTabWidget;

class TFrmTxtHelp : public QDialog, public ModalWindow {
    Q_OBJECT
public:
    explicit TFrmTxtHelp(QWidget* parent = nullptr);
    QTabWidget* pages() const { return pages_; }
    std::string modalTitle() const override { return windowTitle().toStdString(); }
    bool execModal() override { return exec() == QDialog::Accepted; }

private:
    QTabWidget* pages_ = nullptr;
};
