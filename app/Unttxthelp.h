// TFrmTxtHelp: the help window "软件帮助", three read-only text pages.
#pragma once
#include <QDialog>

class QTabWidget;

class TFrmTxtHelp : public QDialog {
    Q_OBJECT
public:
    explicit TFrmTxtHelp(QWidget* parent = nullptr);
    QTabWidget* pages() const { return pages_; }

private:
    QTabWidget* pages_ = nullptr;
};
