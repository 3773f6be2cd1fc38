// TFrmMain: the main window. Owns the settings file (dat/zxinit.ini), the chart engine, the input
// panel (with the per-city coordinate arrays), the current birth and transit requests and the
// working case record; the case store and the user-interface services are the program's and come in by
// reference. Handlers are split by concern, each a short call where another class owns the work:
// start-up, settings and close (Untmain.cpp), layout and menus (Untmain_layout.cpp), skins
// (Untmain_skins.cpp), input panel and natal command (Untmain_panel.cpp, over
// InputPanel), case commands (Untmain_cases.cpp, over the case tree in records/ui), transit and
// dialogs (Untmain_dialogs.cpp, over dialogs/), the perpetual calendar (Untmain_calendar.cpp,
// over calendar/ui), the chart image, texts and help (Untmain_commands.cpp).
#pragma once
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/ChartView.h"
#include "app/ProgramStart.h"
#include "calendar/Yidateex.h"
#include "chart/Zhanxing.h"
#include "chart/ChartTypeCast.h"
#include "dialogs/NatalInput.h"
#include "platform/core/CanvasRecorder.h"
#include "dialogs/Untpanxing.h"
#include "platform/core/IniFile.h"
#include "platform/core/ScriptCanvas.h"
#include "platform/core/ScriptRichText.h"
#include "platform/opencc/OpenccScript.h"
#include "platform/qt/WidgetScript.h"
#include "platform/core/UiServices.h"
#include "platform/qt/QImageCanvas.h"
#include "platform/qt/QtRichText.h"
#include "records/Database.h"
#include "records/ui/CaseHost.h"

class CaseCommands;
class CaseTree;
class InputPanel;
class QAction;
class QListWidget;
class QMenu;
class QSplitter;
class QTabWidget;
class QTextEdit;
class QPlainTextEdit;
class TFrmWnl;

class TFrmMain : public QMainWindow, public NatalInput, public CaseHost {
    Q_OBJECT
public:
    // programFolder: where dat/ and skins/ live; empty for the executable's folder. Both
    // references must outlive the window.
    TFrmMain(UiServices& ui, MDataBase& db, std::string programFolder = std::string());
    ~TFrmMain() override;

    // Life cycle. FormShow runs once, on the first show (or when called directly). FormClose
    // asks for confirmation and returns false when the user refused; it saves the settings and
    // releases the engine otherwise (a failed write is shown in the error box, the window still
    // closes).
    void FormShow();
    bool FormClose();

    const std::string& programFolder() const { return programFolder_; }
    bool natalCast() const override { return natalCast_; }
    bool caseOpen() const override { return caseOpen_; }
    // Opening a saved case sets it, "新建" clears it; the close asks about a changed comment
    // only while a case is open.
    void setCaseOpen(bool open) override { caseOpen_ = open; }
    int treeWidth() const { return treeWidth_; }
    int commentHeight() const { return commentHeight_; }
    void setTreeWidth(int w);
    void setCommentHeight(int h);
    // The client area: the window without its frame and without the menu bar, in pixels.
    int clientWidth() const { return width(); }
    int clientHeight() const { return height() - menuHeight_; }
    void setClientSize(int w, int h) { resize(w, h + menuHeight_); }
    // 0 normal, 1 minimised, 2 maximised.
    int windowStateIndex() const;
    void setWindowStateIndex(int s);
    QtRichText& reading() { return *reading_; }
    QtRichText& comment() { return *comment_; }
    QImage& chartImage() { return chartImage_; }
    MZhanXingEx* engine() { return engine_.get(); }
    const TransitRequest& transitRequest() const { return transit_; }
    const BirthRecord& birthRequest() const { return birth_; }
    const CaseRecord& currentCase() const { return currentCase_; }
    const std::vector<float>& cityLongitudes() const;
    const std::vector<float>& cityLatitudes() const;
    QMenu* skinMenu() const { return mnuSkins_; }
    InputPanel& panel() { return *panel_; }
    // The perpetual calendar window while it is open (nullptr before its first use and after
    // it was closed).
    TFrmWnl* calendarWindow() const;
    CaseTree& caseTree() { return *caseTree_; }
    CaseCommands& caseCommands() { return *caseCommands_; }
    // The window has gone through its close (or ended at once); the program ended at once
    // after a compaction, without the closing path.
    bool closed() const { return closed_; }
    bool programEnded() const { return programEnded_; }
    // The window closed to let a new run of the program start (after an import).
    bool restartRequested() const { return restartRequested_; }

    // The record tree from record numbers (categories of section classes first, in their
    // order, then those met in the records).
    void BuildCaseTree(const std::vector<int>& numbers);
    void SaveCategoryList();
    void centerChartImage();
    // Draws the chart on screen again from the last requests (after the chart settings changed).
    void redrawChart();
    // +1 zooms the chart in, -1 out, 0 fits it to the page (and shows the chart page).
    void zoomChart(int direction);
    ChartPage& chartPage() { return *ScrollPan; }

    // NatalInput: what the perpetual calendar and the case commands ask of the panel.
    void setMoment(const PanelMoment& moment) override;
    void runNatalCommand() override { BtnpaiClick(); }

    // CaseHost: what the case commands ask of the window (Untmain_cases.cpp).
    CaseRecord& workingCase() override { return currentCase_; }
    void setNatalCast(bool cast) override { natalCast_ = cast; }
    CaseFilter& caseFilter() override { return caseFilter_; }
    void fillPanelFromCase(const CaseRecord& c) override;
    std::string panelName() const override;
    std::string panelYearText() const override;
    void focusPanelYear() override;
    BirthRecord panelRequestFromCase(const CaseRecord& c) const override;
    void showCaseOpen(bool open) override;
    bool castCase(const BirthRecord& request, std::string& errorText) override;
    void blankChart() override;
    void clearReading() override;
    QtRichText& commentBox() override { return *comment_; }
    void closeAfterStoreReplaced() override;
    void restartProgram() override;
    void endProgramNow() override;
    void castWithCase(charttypes::Kind kind, const CaseRecord& c) override;
    void showForecast(const CaseRecord& c) override;

    // Chart types (Untmain_types.cpp): the menu "盘型", its dialog, and a chart type cast on the
    // natal chart on screen; false with the message shown when refused.
    void chartTypeClick(charttypes::Kind kind);
    bool showChartType(const charttypes::TypeRequest& q);
    // The chart image's accessible description: which chart is on screen, for whom and when
    // (the caption the engine drew).
    void describeChart();
    // Casts transit_ over the natal chart on screen and shows it on the chart page (the
    // aspect list and the description follow); a refusal is shown as the engine words it.
    void showTransit();

    // The interface's script, 选项 → 界面文字 (Untmain_script.cpp): every open window, the
    // chart, the reading and the messages follow it at once; the choice is kept in
    // dat/zxinit.ini.
    ScriptConverter& script();
    TextScript textScript() const;
    void setTextScript(TextScript s);

public slots:
    // Input panel.
    void SbtoNowClick();
    void UpDyearClick();
    void cbodiZClick();
    void cbodiCClick();
    void SpeedButton1Click();  // ">" beside the province list: "输入县市名"
    void BtnpaiClick();
    void BtoNewClick();
    void SbtoSaveClick();
    // Transit and topics.
    void SbtoZw_liuClick();
    void LstTitleClick();
    // Menus.
    void N4Click();  // 文件 → "保存命例"
    void N7Click();  // 文件 → "导入历史记录"
    void N8Click();  // 文件 → "导出历史记录"
    void mnuImportChartsClick();  // 文件 → "导入星盘(AAF/CSV)..."
    void mnuExportChartsClick();  // 文件 → "导出星盘(AAF/CSV/JSON)..."
    void N9Click();  // 文件 → "整理记录文件"
    void N6Click();  // 文件 → "退出程序"
    void mnuT_xueClick();
    void mnuT_diliClick();
    void mnuT_wnlClick();
    void OsetmoClick();
    void OmnusetfontClick();
    void OmnusetcolorClick();
    void OmnusetcanClick();
    void mnuH_helpClick();
    void SkinItemClick();
    // Chart image popup.
    void MenuItem2Click();
    void MenuItem3Click();
    void MenuItem4Click();
    // Reading popup.
    void ppyundoClick();
    void RpycopyClick();
    void RpypasteClick();
    void RpycutClick();
    void RpydelClick();
    void RpyselallClick();
    void RdtsetFClick();
    void RdyimportClick();
    void RdysaveClick();
    void RpyprtClick();
    // Comment box popup.
    void MenuItem21Click();
    void MenuItem6Click();
    void MenuItem7Click();
    void MenuItem25Click();
    void MenuItem26Click();
    void MenuItem27Click();
    void MenuItem29Click();
    void MenuItem32Click();
    void MenuItem33Click();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void FormCreate();
    void buildLayout();
    void buildMenus();
    void connectPanel();
    void fillTopicList();
    void placeForFirstStart();
    void buildSkinMenu();
    void buildTypesMenu();
    void clearChartImage();
    void buildAspectPage();
    void showAspectList();
    // A chart type was cast (ok) or refused: the page 相位表 and the settings' redraw follow
    // the chart on screen (Untmain_xiangwei.cpp).
    void chartTypeShown(const charttypes::TypeRequest& q, const charttypes::TypeResult& r, bool ok);
    void restoreSkin();
    void skinChosen(QAction* entry);
    void buildScriptMenu(QMenu* options);
    void restoreTextScript();
    void ImgzhanxingMouseMove(int x, int y);
    void setSelectionFontFrom(QtRichText& target);
    void applyReadingFont(const std::string& name, int size);
    void saveRichText(QtRichText& target, bool askBeforeOverwrite);
    void printRichText(QtRichText& target, const std::string& question);
    // Runs a command body; an error escaping it goes to the application's error box.
    template <class F>
    void guarded(F&& body);

    UiServices& ui_;
    MDataBase& db_;
    std::string programFolder_;
    std::unique_ptr<IniFile> settingsFile_;
    // The interface's script: the converter, the pass over the windows, and the chart canvas
    // and the reading as the engine writes them (Untmain_script.cpp).
    std::unique_ptr<OpenccScript> script_;
    std::unique_ptr<WidgetScript> widgetScript_;
    std::unique_ptr<ScriptCanvas> scriptCanvas_;
    std::unique_ptr<ScriptRichText> scriptReading_;
    QMenu* mnuScript_ = nullptr;
    std::vector<std::string> typedNames_;  // the names of the last chart type, kept as typed
    std::vector<std::string> keptTexts() const;
    std::unique_ptr<MZhanXingEx> engine_;
    BirthRecord birth_{};
    TransitRequest transit_{};
    CaseRecord currentCase_{};
    CaseFilter caseFilter_{};
    bool natalCast_ = false;
    PanXingChoice panXing_{};  // the chart-type dialog's last answers
    // The chart type on screen (valid while the engine shows its caption): its request for the
    // redraw after 排盘设置, its result for the page 相位表.
    charttypes::TypeRequest typeRequest_{};
    charttypes::TypeResult typeResult_{};
    bool caseOpen_ = false;
    bool shown_ = false;
    bool closed_ = false;
    // The store was replaced by an import: the close writes nothing of the old tree or case.
    bool storeReplaced_ = false;
    bool programEnded_ = false;
    bool restartRequested_ = false;
    // The menu bar's height when the window was restored; kept for the close so a skin that
    // changes the menu bar does not make the stored height creep from one run to the next.
    int menuHeight_ = 0;
    int treeWidth_ = 180;
    int commentHeight_ = 80;

    // The chart image (800 x 700), its canvas and the recorder over it that the engine draws
    // through (the chart page and the vector files replay it), the reading and the comment box
    // as the engine sees them.
    static constexpr int kChartWidth = 800;
    static constexpr int kChartHeight = 700;
    QImage chartImage_;
    QImageCanvas imageCanvas_;
    CanvasRecorder canvas_;
    std::unique_ptr<QtRichText> reading_;
    std::unique_ptr<QtRichText> comment_;

    // Controls (owned by their Qt parents).
    InputPanel* panel_ = nullptr;
    CaseTree* caseTree_ = nullptr;
    CaseCommands* caseCommands_ = nullptr;  // owned by the tree
    QSplitter* treeSplitter_ = nullptr;
    QSplitter* commentSplitter_ = nullptr;
    QTabWidget* Page1 = nullptr;  // the pages "占星天宫图" (chart) and "天宫图解说" (reading)
    ChartPage* ScrollPan = nullptr;
    TChartImage* Imgzhanxing = nullptr;
    QListWidget* LstTitle = nullptr;
    QTextEdit* Redtzhanxing = nullptr;
    QTextEdit* RedtPingYu = nullptr;
    QPlainTextEdit* RedtAspects = nullptr;  // page "相位表" (Untmain_xiangwei.cpp)
    QMenu* mnuSkins_ = nullptr;
    QMenu* PopZhangX = nullptr;
    QMenu* popRdtzx = nullptr;
    QMenu* PopPingYu = nullptr;

    // The perpetual calendar's calendar object, kept for the program's life, and the window
    // itself from its first use until it is closed (it deletes itself then).
    MYiDateEx wnlCalendar_;
    QPointer<TFrmWnl> wnl_;

    // 行运与天象 (Untmain_forecast.cpp): the menu entry, the window for the chart on screen or a
    // saved case, and the transit overlay cast at an instant it picks.
public:
    void mnuP_forecastClick();
    void castTransitAt(const BirthRecord& natal, double jdUT);
    QPointer<QWidget> forecast_;
};

template <class F>
void TFrmMain::guarded(F&& body) {
    try {
        body();
    } catch (...) {
        showEscapedError(ui_, std::current_exception());
    }
}
