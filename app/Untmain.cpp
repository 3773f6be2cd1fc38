// TFrmMain: construction, start-up (FormShow) and close (FormClose) with the settings file
// dat/zxinit.ini and the record tree's category list. The window's layout and menus are in
// Untmain_layout.cpp, the skin menu in Untmain_skins.cpp.
#include "app/Untmain.h"
#include "records/ui/CaseTreeScript.h"

#include "app/InputPanel.h"
#include "records/ui/CaseCommands.h"
#include "records/ui/CaseTree.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QHBoxLayout>
#include <QLayout>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace {
QString q(const char* s) { return QString::fromUtf8(s); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction

TFrmMain::TFrmMain(UiServices& ui, MDataBase& db, std::string programFolder)
    : ui_(ui),
      db_(db),
      programFolder_(std::move(programFolder)),
      chartImage_(kChartWidth, kChartHeight, QImage::Format_RGB32),
      imageCanvas_(chartImage_),
      canvas_(imageCanvas_) {
    natalCast_ = false;
    caseOpen_ = false;
    caseFilter_ = CaseFilter{};
    caseFilter_.province = -1;
    chartImage_.fill(Qt::white);
    buildLayout();
    buildMenus();
    caseCommands_ = new CaseCommands(ui_, db_, *this, *caseTree_);
    FormCreate();
}

TFrmMain::~TFrmMain() {
    // The engine refers to the reading and the chart canvas: it goes before them.
    engine_.reset();
    db_.SetScriptFolding(nullptr);  // the store outlives the window and its converter
}

void TFrmMain::FormCreate() {
    script_ = std::make_unique<OpenccScript>();
    widgetScript_ = std::make_unique<WidgetScript>(*script_);
    if (programFolder_.empty())
        programFolder_ = QCoreApplication::applicationDirPath().toStdString();
    if (programFolder_.empty() || programFolder_.back() != '/') programFolder_ += '/';
    panel_->setProgramFolder(programFolder_);
    reading_->clear();
    Page1->setCurrentIndex(0);
    // Every tooltip of the program reshows after 250 ms (the chart's changes with the pointer).
    ui_.setHintReshowDelay(250);
    setWindowTitle(q(kApplicationTitle));
}

// ---------------------------------------------------------------------------------------------
// Start-up

void TFrmMain::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!shown_) guarded([this] { FormShow(); });
}

void TFrmMain::FormShow() {
    if (shown_) return;
    shown_ = true;
    // 1. The scroll box paints through Qt's backing store, which is double-buffered already.
    // 2. Lists.
    panel_->fillLists();
    fillTopicList();
    // 3. Date controls and the transit moment: now.
    SbtoNowClick();
    {
        const LocalMinute now = ui_.clock().now();
        const int year = (now.year > 2200 || now.year < 1600) ? 2200 : now.year;
        transit_.when = DateTimeFields{static_cast<int16_t>(year), static_cast<int16_t>(now.month),
                                       static_cast<int16_t>(now.day),
                                       static_cast<int16_t>(now.hour),
                                       static_cast<int16_t>(now.minute)};
        transit_.zoneIndex = 8;
    }
    // 4, 5. Place "未知地" with its one city (120°E, 30°N), zone east eight, blood type A.
    panel_->cbodiZ->setCurrentIndex(panel_->cbodiZ->count() - 1);
    panel_->provinceChosen();
    panel_->Cboshiqu->setCurrentIndex(8);
    panel_->CboXue->setCurrentIndex(0);
    // 6. Settings.
    settingsFile_ = std::make_unique<IniFile>(programFolder_ + "dat/zxinit.ini");
    IniFile& ini = *settingsFile_;
    // 7. Window.
    menuHeight_ = menuBar()->sizeHint().height();
    if (ini.readInteger("winpos", "width", -1) < 0 && ini.readInteger("winpos", "height", -1) < 0) {
        // No stored size (the first start): the panel and the whole chart at 100 %, as far as
        // the screen allows, centred.
        placeForFirstStart();
    } else {
        const int left = ini.readInteger("winpos", "left", 10);
        const int top = ini.readInteger("winpos", "top", 10);
        const int width = ini.readInteger("winpos", "width", 400);
        const int height = ini.readInteger("winpos", "height", 400);
        // A window stored wholly outside every screen (a monitor since removed) would open out
        // of reach: it comes back at the default corner, with its size.
        const QRect stored(left, top, std::max(1, width), std::max(1, height) + menuHeight_);
        bool onScreen = QGuiApplication::screens().isEmpty();
        for (const QScreen* s : QGuiApplication::screens())
            if (s->availableGeometry().intersects(stored)) onScreen = true;
        if (onScreen)
            move(left, top);
        else
            move(10, 10);
        setClientSize(std::max(1, width), std::max(1, height));
    }
    setWindowStateIndex(ini.readInteger("winpos", "state", 0));
    int treeWid = ini.readInteger("winpos", "treewid", 180);
    if (treeWid <= 30) treeWid = 30;
    setTreeWidth(treeWid);
    int pingHei = ini.readInteger("winpos", "pinghei", 80);
    if (pingHei <= 20) pingHei = 20;
    setCommentHeight(pingHei);
    // 8. Reading font and background.
    reading_->setFontName(ini.readString("minggao", "fname", "宋体"));
    reading_->setFontSize(ini.readInteger("minggao", "fsize", 10));
    reading_->setBackgroundColor(
        Rgb::fromBgr(static_cast<uint32_t>(ini.readInteger("minggao", "bcolor", 12635344))));
    // 9. A blank chart.
    clearChartImage();
    // 10. The case store.
    db_.Open(programFolder_);
    db_.SetScriptFolding(script_.get());  // a search finds a name in either script
    // 11. The chart engine over the reading and the chart image.
    scriptCanvas_ = std::make_unique<ScriptCanvas>(canvas_, *script_);
    scriptReading_ = std::make_unique<ScriptRichText>(*reading_, *script_);
    scriptCanvas_->setKept([this] { return keptTexts(); });
    scriptReading_->setKept([this] { return keptTexts(); });
    engine_ = std::make_unique<MZhanXingEx>(*scriptReading_, *scriptCanvas_, programFolder_);
    // 12. The record tree from the newest 1000 cases.
    caseTree_->setSettings(settingsFile_.get());
    caseTree_->widget()->setItemDelegate(new CaseTreeScript(*script_, caseTree_->widget()));
    BuildCaseTree(CaseTree::newestNumbers(db_.Count()));
    // 13, 14. Province and city.
    panel_->restorePlace(ini.readInteger("minggao", "sheng", 0), ini.readInteger("minggao", "shi", 0));
    // 15, 16. Skins.
    buildSkinMenu();
    restoreSkin();
    restoreTextScript();
}

// The client size that shows the tree, the chart page with the whole chart at 100 % above the
// comment box, and the input panel; clamped to the available screen less the window frame, and
// centred on it.
void TFrmMain::placeForFirstStart() {
    const int handle = treeSplitter_->handleWidth();
    const int pageFrame = 2 * ScrollPan->frameWidth() + 4;  // scroll box and tab pane frames
    const QMargins m = centralWidget()->layout()->contentsMargins();
    const int spacing = std::max(0, centralWidget()->layout()->spacing());
    const int w = m.left() + treeWidth_ + handle + kChartWidth + pageFrame + spacing +
                  panel_->width() + m.right();
    const int tabs = Page1->tabBar()->sizeHint().height();
    const int chartColumn = tabs + kChartHeight + pageFrame + handle + commentHeight_;
    const int h = m.top() + std::max(chartColumn, panel_->minimumHeight()) + m.bottom();
    QSize client(w, h);
    QRect area(0, 0, w, h + menuHeight_);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
        // Room for the title bar and borders the window manager adds.
        constexpr int kFrameWidth = 8;
        constexpr int kFrameHeight = 36;
        client = client.boundedTo(QSize(area.width() - kFrameWidth,
                                        area.height() - kFrameHeight - menuHeight_));
    }
    setClientSize(client.width(), client.height());
    move(area.x() + std::max(0, (area.width() - client.width()) / 2),
         area.y() + std::max(0, (area.height() - client.height() - menuHeight_) / 2));
}

void TFrmMain::fillTopicList() {
    LstTitle->clear();
    for (const char* h : TopicHeadings) {
        QString t = q(h);
        t.chop(1);  // the heading without its trailing colon
        LstTitle->addItem(t);
    }
}

// ---------------------------------------------------------------------------------------------
// Record tree

void TFrmMain::BuildCaseTree(const std::vector<int>& numbers) { caseTree_->BuildCaseTree(numbers); }
void TFrmMain::SaveCategoryList() { caseTree_->SaveCategoryList(); }

// ---------------------------------------------------------------------------------------------
// Close

void TFrmMain::closeEvent(QCloseEvent* e) {
    if (closed_) {
        e->accept();
        return;
    }
    bool done = false;
    guarded([&] { done = FormClose(); });
    if (done || closed_)
        e->accept();
    else
        e->ignore();
}

bool TFrmMain::FormClose() {
    if (closed_) return true;
    // 1. Confirmation (not when the user asked for a restart).
    if (!restartRequested_ &&
        ui_.messageBox("确定要关闭软件吗？", "关闭", MsgIcon::Information, MsgButtons::YesNo,
                       MsgResult::Yes) != MsgResult::Yes)
        return false;
    // 2. A changed comment of the open case (not after an import: its number names another
    // case now). A save the user asked for that does not happen keeps the window open, so the
    // typed comment is not lost.
    if (caseOpen_ && comment_->modified() && !storeReplaced_) {
        if (ui_.messageBox("当前评语文本已改变，要保存吗？", "提示", MsgIcon::Warning,
                           MsgButtons::YesNo, MsgResult::Yes) == MsgResult::Yes) {
            bool saved = false;
            guarded([&] { saved = caseCommands_->saveCase(); });
            if (!saved) return false;
        }
    }
    // 3 - 7. Settings; the first failed write ends the writing and is reported.
    if (settingsFile_) {
        try {
            IniFile& ini = *settingsFile_;
            IniUpdate update(ini);  // every setting below in one rewrite of the file
            // After an import the old tree's categories are not the new store's.
            if (!storeReplaced_) SaveCategoryList();
            panel_->releaseCities();
            const int state = windowStateIndex();
            if (state == 0) {
                ini.writeInteger("winpos", "left", x());
                ini.writeInteger("winpos", "top", y());
                ini.writeInteger("winpos", "width", clientWidth());
                ini.writeInteger("winpos", "height", clientHeight());
            }
            ini.writeInteger("winpos", "treewid", treeWidth_);
            ini.writeInteger("winpos", "pinghei", commentHeight_);
            ini.writeInteger("winpos", "state", state);
            ini.writeString("minggao", "fname", reading_->fontName());
            ini.writeInteger("minggao", "fsize", reading_->fontSize());
            ini.writeInteger("minggao", "bcolor", static_cast<int32_t>(reading_->backgroundColor().toBgr()));
            ini.writeInteger("minggao", "sheng", panel_->provinceIndex());
            ini.writeInteger("minggao", "shi", panel_->cityIndex());
            update.commit();
        } catch (const std::exception& e) {
            ui_.showError(e.what());
        }
    }
    panel_->releaseCities();
    // 8. Release.
    settingsFile_.reset();
    engine_.reset();
    closed_ = true;
    return true;
}
