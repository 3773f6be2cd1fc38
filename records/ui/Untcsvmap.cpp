#include "records/ui/Untcsvmap.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "platform/qt/Controls.h"

TFrmCsvMap::TFrmCsvMap(UiServices& ui, const std::vector<std::string>& header,
                       const interchange::CsvMapping& guess, QWidget* parent)
    : QDialog(parent), ui_(ui) {
    setObjectName(QStringLiteral("FrmCsvMap"));
    setWindowTitle(qs("CSV列对应"));
    auto* grid = new QGridLayout(this);
    for (std::size_t f = 0; f < interchange::kCsvFieldCount; ++f) {
        const char* caption = interchange::csvFieldCaption(static_cast<interchange::CsvField>(f));
        auto* list = new QComboBox(this);
        list->setObjectName(QStringLiteral("CboColumn%1").arg(f));
        list->addItem(qs("(无)"));
        for (std::size_t c = 0; c < header.size(); ++c)
            list->addItem(qs(std::to_string(c + 1) + ": " + header[c]));
        list->setCurrentIndex(guess[f] + 1);
        list->setAccessibleDescription(qs(caption));
        grid->addWidget(labelFor(list, caption, this), static_cast<int>(f), 0);
        grid->addWidget(list, static_cast<int>(f), 1);
        Columns[f] = list;
    }
    Btnok = new QPushButton(qs("确定"), this);
    Btnok->setObjectName(QStringLiteral("Btnok"));
    Btnok->setDefault(true);
    Btnno = new QPushButton(qs("取消"), this);
    Btnno->setObjectName(QStringLiteral("Btnno"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Btnok);
    buttons->addWidget(Btnno);
    grid->addLayout(buttons, static_cast<int>(interchange::kCsvFieldCount), 0, 1, 2);
    connect(Btnok, &QPushButton::clicked, this, &TFrmCsvMap::BtnokClick);
    connect(Btnno, &QPushButton::clicked, this, &QDialog::reject);
}

std::string TFrmCsvMap::modalTitle() const { return windowTitle().toStdString(); }

interchange::CsvMapping TFrmCsvMap::mapping() const {
    interchange::CsvMapping m;
    for (std::size_t f = 0; f < interchange::kCsvFieldCount; ++f) m[f] = Columns[f]->currentIndex() - 1;
    return m;
}

void TFrmCsvMap::BtnokClick() {
    if (!interchange::csvMappingUsable(mapping())) {
        ui_.messageBox("请为姓名和日期选择所在的列", "CSV列对应", MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    accept();
}
