// The case commands of the main window: 新建, 存新/存旧 and "保存命例", and the file menu's import,
// export and compaction of the case store, all owned by CaseCommands (records/ui); and the
// main window's side of them (CaseHost).
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

#include "app/InputPanel.h"
#include "app/Untmain.h"
#include "records/ui/CaseCommands.h"

void TFrmMain::BtoNewClick() { caseCommands_->newCase(); }
void TFrmMain::SbtoSaveClick() { caseCommands_->saveCase(); }
void TFrmMain::N4Click() { SbtoSaveClick(); }
void TFrmMain::N7Click() { caseCommands_->importRecords(); }
void TFrmMain::N8Click() { caseCommands_->exportRecords(); }
void TFrmMain::mnuImportChartsClick() { caseCommands_->importCharts(); }
void TFrmMain::mnuExportChartsClick() { caseCommands_->exportCharts(); }
void TFrmMain::N9Click() { caseCommands_->compactRecords(); }

void TFrmMain::fillPanelFromCase(const CaseRecord& c) { panel_->fillFromCase(c); }
std::string TFrmMain::panelName() const { return panel_->Edtname->text().toStdString(); }
std::string TFrmMain::panelYearText() const { return panel_->EdtYear->text().toStdString(); }
void TFrmMain::focusPanelYear() { panel_->focusYear(); }
BirthRecord TFrmMain::panelRequestFromCase(const CaseRecord& c) const { return panel_->requestFromCase(c); }
void TFrmMain::showCaseOpen(bool open) { panel_->showCaseOpen(open); }

// Casts a natal chart and, on success, does what follows every successful natal command: the
// transit request takes place and zone, the chart page shows, scrolled to its top-left and
// centred, and the chart counts as cast.
bool TFrmMain::castCase(const BirthRecord& request, std::string& errorText) {
    natalCast_ = false;
    if (!engine_) return false;
    if (&request != &birth_) birth_ = request;
    const bool ok = engine_->castNatal(birth_);
    Imgzhanxing->update();
    showAspectList();
    describeChart();
    if (!ok) {
        errorText = engine_->errorText();
        return false;
    }
    // What follows a successful natal command.
    transit_.place = birth_.place;
    transit_.zoneIndex = birth_.zoneIndex;
    transit_.zoneId = panel_->placeZone();
    transit_.localClock = true;
    Page1->setCurrentIndex(0);
    ScrollPan->horizontalScrollBar()->setValue(0);
    ScrollPan->verticalScrollBar()->setValue(0);
    centerChartImage();
    natalCast_ = true;
    return true;
}

void TFrmMain::blankChart() {
    clearChartImage();
    reading_->clear();
    if (RedtAspects) RedtAspects->clear();
}

void TFrmMain::clearReading() { reading_->clear(); }

void TFrmMain::closeAfterStoreReplaced() {
    storeReplaced_ = true;
    caseOpen_ = false;
    close();
}

void TFrmMain::restartProgram() {
    // The window closes without its closing question (the user asked for the restart) and
    // without writing the old tree's categories; the program's start (main) then starts the new
    // run once this one has let go of the store.
    storeReplaced_ = true;
    caseOpen_ = false;
    restartRequested_ = true;
    close();
}

void TFrmMain::endProgramNow() {
    // No closing question, no comment save, no settings: the event loop ends and the program
    // with it.
    programEnded_ = true;
    closed_ = true;
    hide();
    QCoreApplication::exit(0);
}
