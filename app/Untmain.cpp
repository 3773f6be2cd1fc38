// TFrmMain: construction, window layout and menus, start-up (FormShow), close (FormClose) with
// the settings file dat/zxinit.ini, the record tree's category list and the skin menu.
#include "app/Untmain.h"

#include "app/InputPanel.h"
#include "records/ui/CaseCommands.h"
#include "records/ui/CaseTree.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
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
constexpr const char* kCommentDesignText = "输入自己的评语：";
constexpr int kChartWidth = 800;
constexpr int kChartHeight = 700;
QString q(const std::string& s) { return QString::fromStdString(s); }
QString q(const char* s) { return QString::fromUtf8(s); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// The chart image

TChartImage::TChartImage(QImage& image, QWidget* parent) : QLabel(parent), image_(image) {
    setMouseTracking(true);
    setFixedSize(image.size());
}

void TChartImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}
void TChartImage::mousePressEvent(QMouseEvent* e) {
    emit mouseDown(e->button(), e->position().toPoint().x(), e->position().toPoint().y());
}
void TChartImage::mouseReleaseEvent(QMouseEvent* e) {
    emit mouseUp(e->button(), e->position().toPoint().x(), e->position().toPoint().y());
}
void TChartImage::mouseMoveEvent(QMouseEvent* e) {
    emit mouseMove(e->position().toPoint().x(), e->position().toPoint().y());
}

// ---------------------------------------------------------------------------------------------
// Construction

TFrmMain::TFrmMain(UiServices& ui, MDataBase& db, std::string programFolder)
    : ui_(ui),
      db_(db),
      programFolder_(std::move(programFolder)),
      chartImage_(kChartWidth, kChartHeight, QImage::Format_RGB32),
      canvas_(chartImage_) {
    natalCast_ = false;
    caseOpen_ = false;
    caseFilter_ = CaseFilter{};
    caseFilter_.province = -1;
    dragging_ = false;
    chartImage_.fill(Qt::white);
    buildLayout();
    buildMenus();
    caseCommands_ = new CaseCommands(ui_, db_, *this, *caseTree_);
    FormCreate();
}

TFrmMain::~TFrmMain() {
    // The engine refers to the reading and the chart canvas: it goes before them.
    engine_.reset();
}

void TFrmMain::FormCreate() {
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

void TFrmMain::buildLayout() {
    setObjectName(QStringLiteral("FrmMain"));
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(2, 2, 2, 2);

    treeSplitter_ = new QSplitter(Qt::Horizontal, central);
    treeSplitter_->setChildrenCollapsible(false);
    caseTree_ = new CaseTree(treeSplitter_, db_);

    commentSplitter_ = new QSplitter(Qt::Vertical, treeSplitter_);
    commentSplitter_->setChildrenCollapsible(false);
    Page1 = new QTabWidget(commentSplitter_);
    Page1->setObjectName(QStringLiteral("Page1"));
    Page1->setAccessibleName(q("页面"));

    // Page "占星天宫图": the chart image in its scroll box.
    ScrollPan = new QScrollArea;
    ScrollPan->setObjectName(QStringLiteral("ScrollPan"));
    ScrollPan->setWidgetResizable(false);
    chartHolder_ = new QWidget;
    chartHolder_->resize(kChartWidth, kChartHeight);
    Imgzhanxing = new TChartImage(chartImage_, chartHolder_);
    Imgzhanxing->setObjectName(QStringLiteral("Imgzhanxing"));
    Imgzhanxing->setAccessibleName(q("天宫图"));
    Imgzhanxing->move(0, 0);
    ScrollPan->setWidget(chartHolder_);
    Page1->addTab(ScrollPan, q("占星天宫图"));
    connect(Imgzhanxing, &TChartImage::mouseDown, this, &TFrmMain::ImgzhanxingMouseDown);
    connect(Imgzhanxing, &TChartImage::mouseUp, this, &TFrmMain::ImgzhanxingMouseUp);
    connect(Imgzhanxing, &TChartImage::mouseMove, this, &TFrmMain::ImgzhanxingMouseMove);

    // Page "天宫图解说": the topic bar above the reading.
    auto* readingPage = new QWidget;
    auto* readingCol = new QVBoxLayout(readingPage);
    readingCol->setContentsMargins(0, 0, 0, 0);
    readingCol->setSpacing(1);
    auto* topicBar = new QHBoxLayout;
    auto* topicLabel = new QLabel(q("点击选择主题"), readingPage);
    topicLabel->setStyleSheet(QStringLiteral("color: green;"));
    LstTitle = new QListWidget(readingPage);
    LstTitle->setObjectName(QStringLiteral("LstTitle"));
    topicLabel->setBuddy(LstTitle);
    LstTitle->setAccessibleName(q("点击选择主题"));
    LstTitle->setFlow(QListView::LeftToRight);
    LstTitle->setWrapping(false);
    LstTitle->setFixedHeight(24);
    LstTitle->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LstTitle->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    {
        QFont f = LstTitle->font();
        f.setPointSize(9);
        LstTitle->setFont(f);
        QPalette p = LstTitle->palette();
        p.setColor(QPalette::Text, Qt::blue);
        LstTitle->setPalette(p);
    }
    topicBar->addWidget(topicLabel);
    topicBar->addWidget(LstTitle, 1);
    readingCol->addLayout(topicBar);
    Redtzhanxing = new QTextEdit(readingPage);
    Redtzhanxing->setObjectName(QStringLiteral("Redtzhanxing"));
    Redtzhanxing->setAccessibleName(q("天宫图解说"));
    Redtzhanxing->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Redtzhanxing->setContextMenuPolicy(Qt::CustomContextMenu);
    readingCol->addWidget(Redtzhanxing, 1);
    Page1->addTab(readingPage, q("天宫图解说"));
    // A click, or the keyboard moving to another topic.
    connect(LstTitle, &QListWidget::itemClicked, this, [this] { guarded([this] { LstTitleClick(); }); });
    connect(LstTitle, &QListWidget::currentRowChanged, this,
            [this] { guarded([this] { LstTitleClick(); }); });

    RedtPingYu = new QTextEdit(commentSplitter_);
    RedtPingYu->setObjectName(QStringLiteral("RedtPingYu"));
    RedtPingYu->setAccessibleName(q("评语"));
    RedtPingYu->setTabChangesFocus(false);
    RedtPingYu->setContextMenuPolicy(Qt::CustomContextMenu);
    RedtPingYu->setPlainText(q(kCommentDesignText));
    RedtPingYu->document()->setModified(false);

    commentSplitter_->addWidget(Page1);
    commentSplitter_->addWidget(RedtPingYu);
    commentSplitter_->setStretchFactor(0, 1);
    commentSplitter_->setStretchFactor(1, 0);
    treeSplitter_->addWidget(caseTree_->widget());
    treeSplitter_->addWidget(commentSplitter_);
    treeSplitter_->setStretchFactor(0, 0);
    treeSplitter_->setStretchFactor(1, 1);
    connect(treeSplitter_, &QSplitter::splitterMoved, this, [this] {
        treeWidth_ = treeSplitter_->sizes().value(0, treeWidth_);
    });
    connect(commentSplitter_, &QSplitter::splitterMoved, this, [this] {
        commentHeight_ = commentSplitter_->sizes().value(1, commentHeight_);
    });

    panel_ = new InputPanel(central, programFolder_);
    row->addWidget(treeSplitter_, 1);
    row->addWidget(panel_, 0);
    setCentralWidget(central);
    connectPanel();
    // Made small, the window still keeps the input panel whole beside a sliver of the chart.
    central->setMinimumHeight(panel_->minimumHeight() + 4);
    central->setMinimumWidth(panel_->width() + 200);

    reading_ = std::make_unique<QtRichText>(*Redtzhanxing);
    comment_ = std::make_unique<QtRichText>(*RedtPingYu);
}

void TFrmMain::buildMenus() {
    auto add = [this](QMenu* menu, const char* caption, const char* name, void (TFrmMain::*slot)()) {
        QAction* a = menu->addAction(q(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, slot] { guarded([&] { (this->*slot)(); }); });
        return a;
    };
    QMenu* file = menuBar()->addMenu(q("文件(&F)"));
    add(file, "保存命例", "N4", &TFrmMain::N4Click);
    add(file, "导入历史记录", "N7", &TFrmMain::N7Click);
    add(file, "导出历史记录", "N8", &TFrmMain::N8Click);
    add(file, "整理记录文件", "N9", &TFrmMain::N9Click);
    add(file, "退出程序", "N6", &TFrmMain::N6Click);

    QMenu* tools = menuBar()->addMenu(q("辅助工具(&T)"));
    add(tools, "血型测试", "mnuT_xue", &TFrmMain::mnuT_xueClick);
    add(tools, "经纬度设置", "mnuT_dili", &TFrmMain::mnuT_diliClick);
    add(tools, "万年历", "mnuT_wnl", &TFrmMain::mnuT_wnlClick);

    QMenu* options = menuBar()->addMenu(q("选项(&O)"));
    QMenu* readingMenu = options->addMenu(q("命稿设置"));
    readingMenu->setObjectName(QStringLiteral("Omnumingao"));
    add(readingMenu, "默认", "Osetmo", &TFrmMain::OsetmoClick);
    add(readingMenu, "字体设置", "Omnusetfont", &TFrmMain::OmnusetfontClick);
    add(readingMenu, "背景色设置", "Omnusetcolor", &TFrmMain::OmnusetcolorClick);
    add(options, "排盘设置", "Omnusetcan", &TFrmMain::OmnusetcanClick);
    mnuSkins_ = options->addMenu(q("界面风格"));
    mnuSkins_->setObjectName(QStringLiteral("mnuSkins"));

    QMenu* help = menuBar()->addMenu(q("帮助(&H)"));
    add(help, "软件帮助", "mnuH_help", &TFrmMain::mnuH_helpClick);

    // Popups over the chart image, the reading and the comment box.
    PopZhangX = new QMenu(this);
    PopZhangX->setObjectName(QStringLiteral("PopZhangX"));
    add(PopZhangX, "复制", "MenuItem2", &TFrmMain::MenuItem2Click);
    add(PopZhangX, "另存为...", "MenuItem3", &TFrmMain::MenuItem3Click);
    add(PopZhangX, "打印", "MenuItem4", &TFrmMain::MenuItem4Click);

    popRdtzx = new QMenu(this);
    popRdtzx->setObjectName(QStringLiteral("popRdtzx"));
    add(popRdtzx, "撤销", "ppyundo", &TFrmMain::ppyundoClick);
    popRdtzx->addSeparator();
    add(popRdtzx, "复制", "Rpycopy", &TFrmMain::RpycopyClick);
    add(popRdtzx, "粘贴", "Rpypaste", &TFrmMain::RpypasteClick);
    add(popRdtzx, "剪切", "Rpycut", &TFrmMain::RpycutClick);
    add(popRdtzx, "删除", "Rpydel", &TFrmMain::RpydelClick);
    add(popRdtzx, "全选", "Rpyselall", &TFrmMain::RpyselallClick);
    popRdtzx->addSeparator();
    add(popRdtzx, "设置选中文字", "RdtsetF", &TFrmMain::RdtsetFClick);
    popRdtzx->addSeparator();
    add(popRdtzx, "导入命稿文件", "Rdyimport", &TFrmMain::RdyimportClick);
    add(popRdtzx, "另存为", "Rdysave", &TFrmMain::RdysaveClick);
    add(popRdtzx, "打印命稿", "Rpyprt", &TFrmMain::RpyprtClick);

    PopPingYu = new QMenu(this);
    PopPingYu->setObjectName(QStringLiteral("PopPingYu"));
    add(PopPingYu, "撤销", "MenuItem21", &TFrmMain::MenuItem21Click);
    PopPingYu->addSeparator();
    add(PopPingYu, "复制", "MenuItem6", &TFrmMain::MenuItem6Click);
    add(PopPingYu, "粘帖", "MenuItem7", &TFrmMain::MenuItem7Click);
    add(PopPingYu, "剪切", "MenuItem25", &TFrmMain::MenuItem25Click);
    add(PopPingYu, "删除", "MenuItem26", &TFrmMain::MenuItem26Click);
    add(PopPingYu, "全选", "MenuItem27", &TFrmMain::MenuItem27Click);
    PopPingYu->addSeparator();
    add(PopPingYu, "设置选中文本", "MenuItem29", &TFrmMain::MenuItem29Click);
    PopPingYu->addSeparator();
    add(PopPingYu, "另存为", "MenuItem32", &TFrmMain::MenuItem32Click);
    add(PopPingYu, "打印", "MenuItem33", &TFrmMain::MenuItem33Click);

    Imgzhanxing->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Imgzhanxing, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopZhangX->popup(Imgzhanxing->mapToGlobal(p)); });
    connect(Redtzhanxing, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { popRdtzx->popup(Redtzhanxing->mapToGlobal(p)); });
    connect(RedtPingYu, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopPingYu->popup(RedtPingYu->mapToGlobal(p)); });
}

// ---------------------------------------------------------------------------------------------
// Geometry helpers

void TFrmMain::setTreeWidth(int w) {
    treeWidth_ = w;
    QList<int> sizes = treeSplitter_->sizes();
    const int total = std::max(sizes.value(0) + sizes.value(1), w + 100);
    treeSplitter_->setSizes({w, total - w});
}

void TFrmMain::setCommentHeight(int h) {
    commentHeight_ = h;
    QList<int> sizes = commentSplitter_->sizes();
    const int total = std::max(sizes.value(0) + sizes.value(1), h + 100);
    commentSplitter_->setSizes({total - h, h});
}

int TFrmMain::windowStateIndex() const {
    const Qt::WindowStates s = windowState();
    if (s & Qt::WindowMinimized) return 1;
    if (s & Qt::WindowMaximized) return 2;
    return 0;
}

void TFrmMain::setWindowStateIndex(int s) {
    switch (s) {
        case 1: setWindowState(Qt::WindowMinimized); break;
        case 2: setWindowState(Qt::WindowMaximized); break;
        default: setWindowState(Qt::WindowNoState); break;
    }
}

void TFrmMain::clearChartImage() {
    canvas_.setPenColor(Rgb{0, 0, 0});
    canvas_.setPenStyle(PenStyle::Solid);
    canvas_.setBrushColor(Rgb{255, 255, 255});
    canvas_.rectangle(0, 0, canvas_.width(), canvas_.height());
    Imgzhanxing->update();
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
    const int left = ini.readInteger("winpos", "left", 10);
    const int top = ini.readInteger("winpos", "top", 10);
    const int width = ini.readInteger("winpos", "width", 400);
    const int height = ini.readInteger("winpos", "height", 400);
    // A window stored wholly outside every screen (a monitor since removed) would open out of
    // reach: it comes back at the default corner, with its size.
    menuHeight_ = menuBar()->sizeHint().height();
    const QRect stored(left, top, std::max(1, width), std::max(1, height) + menuHeight_);
    bool onScreen = QGuiApplication::screens().isEmpty();
    for (const QScreen* s : QGuiApplication::screens())
        if (s->availableGeometry().intersects(stored)) onScreen = true;
    if (onScreen)
        move(left, top);
    else
        move(10, 10);
    setClientSize(std::max(1, width), std::max(1, height));
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
    // 11. The chart engine over the reading and the chart image.
    engine_ = std::make_unique<MZhanXingEx>(*reading_, canvas_, programFolder_);
    // 12. The record tree from the newest 1000 cases.
    caseTree_->setSettings(settingsFile_.get());
    BuildCaseTree(CaseTree::newestNumbers(db_.Count()));
    // 13, 14. Province and city.
    panel_->restorePlace(ini.readInteger("minggao", "sheng", 0), ini.readInteger("minggao", "shi", 0));
    // 15, 16. Skins.
    buildSkinMenu();
    restoreSkin();
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
// Skins

void TFrmMain::buildSkinMenu() {
    mnuSkins_->clear();
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::string> names;
    for (fs::directory_iterator it(programFolder_ + "skins", ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.extension() != ".skn" || !it->is_regular_file(ec)) continue;
        names.push_back(p.filename().string());
    }
    // A Linux directory lists in no useful order; by name, as the Windows listing came.
    std::sort(names.begin(), names.end());
    for (const std::string& file : names) {
        const std::string caption = file.substr(0, file.find('.'));
        QString shown = q(caption);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));  // no keyboard accelerators
        QAction* a = mnuSkins_->addAction(shown);
        a->setCheckable(true);
        a->setProperty("tag", 0);
        a->setProperty("caption", q(caption));
        connect(a, &QAction::triggered, this, [this, a] { guarded([this, a] { skinChosen(a); }); });
    }
    if (names.empty()) return;
    mnuSkins_->addSeparator();
    QAction* plain = mnuSkins_->addAction(q("系统默认"));
    plain->setCheckable(true);
    plain->setProperty("tag", 1);
    plain->setProperty("caption", q("系统默认"));
    connect(plain, &QAction::triggered, this,
            [this, plain] { guarded([this, plain] { skinChosen(plain); }); });
}

void TFrmMain::restoreSkin() {
    if (settingsFile_->readBool("window", "skined", false)) {
        const std::string name = settingsFile_->readString("window", "skinname", "Mx1");
        for (QAction* a : mnuSkins_->actions())
            if (!a->isSeparator()) a->setChecked(a->property("caption").toString() == q(name));
        // A missing skin file loads nothing; the platform look stays.
        if (ui_.skins().loadSkinFile(programFolder_ + "skins/" + name + ".skn"))
            ui_.skins().activate();
    } else {
        ui_.skins().deactivate();
        QList<QAction*> entries = mnuSkins_->actions();
        if (entries.size() >= 2) entries.back()->setChecked(true);
    }
}

void TFrmMain::SkinItemClick() { skinChosen(qobject_cast<QAction*>(sender())); }

void TFrmMain::skinChosen(QAction* chosen) {
    if (!chosen) return;
    for (QAction* a : mnuSkins_->actions())
        if (!a->isSeparator()) a->setChecked(a == chosen);
    if (chosen->property("tag").toInt() == 1) {
        ui_.skins().deactivate();
        update();
        settingsFile_->writeBool("window", "skined", false);
        return;
    }
    const std::string caption = chosen->property("caption").toString().toStdString();
    const std::string path = programFolder_ + "skins/" + caption + ".skn";
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec) && ui_.skins().loadSkinFile(path)) {
        ui_.skins().activate();
        settingsFile_->writeString("window", "skinname", caption);
        settingsFile_->writeBool("window", "skined", true);
    } else {
        ui_.plainMessage("对应的皮肤文件已经丢失，请关闭软件，再重新打开软件！");
    }
}

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
    // 1. Confirmation.
    if (ui_.messageBox("确定要关闭软件吗？", "关闭", MsgIcon::Information, MsgButtons::YesNo,
                       MsgResult::Yes) != MsgResult::Yes)
        return false;
    // 2. A changed comment of the open case (not after an import: its number names another
    // case now).
    if (caseOpen_ && comment_->modified() && !storeReplaced_) {
        if (ui_.messageBox("当前评语文本已改变，要保存吗？", "提示", MsgIcon::Warning,
                           MsgButtons::YesNo, MsgResult::Yes) == MsgResult::Yes)
            guarded([this] { SbtoSaveClick(); });
    }
    // 3 - 7. Settings; the first failed write ends the writing and is reported.
    if (settingsFile_) {
        try {
            // After an import the old tree's categories are not the new store's.
            if (!storeReplaced_) SaveCategoryList();
            panel_->releaseCities();
            IniFile& ini = *settingsFile_;
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
