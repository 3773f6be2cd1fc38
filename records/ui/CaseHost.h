// What the case commands need of the main window: its working case record and open-case flag,
// the input panel, the chart, the comment box, the save button and the way out of the program.
// The settings file reaches the commands through the tree, the folders through the store. The
// main window implements it; forms never include app/.
#pragma once
#include <string>

#include "chart/ChartTypes.h"
#include "chart/Zhanxing.h"
#include "records/Database.h"

class QtRichText;

class CaseHost {
public:
    virtual ~CaseHost() = default;

    // The working case record: filled by the natal command and by opening a case, written by
    // saving.
    virtual CaseRecord& workingCase() = 0;
    // A saved case is open (the close offers to save its changed comment).
    virtual bool caseOpen() const = 0;
    virtual void setCaseOpen(bool open) = 0;
    // A natal chart has been cast and not invalidated since.
    virtual bool natalCast() const = 0;
    virtual void setNatalCast(bool cast) = 0;
    // The search conditions remembered for the rest of the run.
    virtual CaseFilter& caseFilter() = 0;

    // The input panel: filled from a case; its name and year fields as typed; the chart request
    // of an opened case (coordinates exactly from the record).
    virtual void fillPanelFromCase(const CaseRecord& c) = 0;
    virtual std::string panelName() const = 0;
    virtual std::string panelYearText() const = 0;
    virtual void focusPanelYear() = 0;
    virtual BirthRecord panelRequestFromCase(const CaseRecord& c) const = 0;
    // The save button: "存新" in black, or "存旧" in blue while a case is open.
    virtual void showCaseOpen(bool open) = 0;

    // Casts the natal chart. On success does what follows a successful natal command (the
    // transit request takes place and zone, the chart page shows, the chart is centred) and
    // sets natalCast; on failure returns false with the engine's error text.
    virtual bool castCase(const BirthRecord& request, std::string& errorText) = 0;
    // A blank chart image and an empty reading; or the reading alone.
    virtual void blankChart() = 0;
    virtual void clearReading() = 0;
    virtual QtRichText& commentBox() = 0;

    // After the store was replaced (import): closes the main window without saving the open
    // case's comment or the tree's category list into the new store's settings.
    virtual void closeAfterStoreReplaced() = 0;
    // After an import: starts the program again at once (this window closes without its
    // closing question and saves nothing into the new store; a new run starts after it).
    virtual void restartProgram() = 0;
    // After a compaction: ends the program at once, without the closing path.
    virtual void endProgramNow() = 0;
    // A chart of two people (synastry, composite, Davison): the natal chart on screen and a
    // saved case that passed the name and year checks. Nothing by default.
    virtual void castWithCase(charttypes::Kind kind, const CaseRecord& c) {
        (void)kind;
        (void)c;
    }
    // The window 行运与天象 for a saved case (its transits and the sky). Nothing by default.
    virtual void showForecast(const CaseRecord& c) { (void)c; }
};
