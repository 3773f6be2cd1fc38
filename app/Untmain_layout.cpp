// TFrmMain: the window's layout (tree, pages, chart image, reading, comment box, input panel),
// its menus and popups, and the geometry the settings restore.
#include "app/Untmain.h"

#include "app/InputPanel.h"
#include "platform/qt/RtfTextEdit.h"
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
QString q(const char* s) { return QString::fromUtf8(s); }
}  // namespace

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

    // Page "占星天宫图": the chart drawing, fitted to the page or zoomed, in its scroll box.
    ScrollPan = new ChartPage(chartImage_, canvas_);
    ScrollPan->setObjectName(QStringLiteral("ScrollPan"));
    ScrollPan->setAccessibleName(q("占星天宫图"));
    Imgzhanxing = ScrollPan->chart();
    Imgzhanxing->setObjectName(QStringLiteral("Imgzhanxing"));
    Imgzhanxing->setAccessibleName(q("天宫图"));
    Page1->addTab(ScrollPan, q("占星天宫图"));
    connect(Imgzhanxing, &TChartImage::mouseMove, this,
            [this](int x, int y, QPoint) { ImgzhanxingMouseMove(x, y); });

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
    buildAspectPage();
    // A click, or the keyboard moving to another topic.
    connect(LstTitle, &QListWidget::itemClicked, this, [this] { guarded([this] { LstTitleClick(); }); });
    connect(LstTitle, &QListWidget::currentRowChanged, this,
            [this] { guarded([this] { LstTitleClick(); }); });

    RedtPingYu = new RtfTextEdit(commentSplitter_);  // takes RTF-only clipboard contents too
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
    file->addSeparator();
    add(file, "导入历史记录", "N7", &TFrmMain::N7Click);
    add(file, "导出历史记录", "N8", &TFrmMain::N8Click);
    add(file, "整理记录文件", "N9", &TFrmMain::N9Click);
    file->addSeparator();
    add(file, "导入星盘(AAF/CSV)...", "mnuImportCharts", &TFrmMain::mnuImportChartsClick);
    add(file, "导出星盘(AAF/CSV/JSON)...", "mnuExportCharts", &TFrmMain::mnuExportChartsClick);
    file->addSeparator();
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
    buildScriptMenu(options);

    buildTypesMenu();
    QMenu* help = menuBar()->addMenu(q("帮助(&H)"));
    add(help, "软件帮助", "mnuH_help", &TFrmMain::mnuH_helpClick);

    // Popups over the chart image, the reading and the comment box.
    PopZhangX = new QMenu(this);
    PopZhangX->setObjectName(QStringLiteral("PopZhangX"));
    add(PopZhangX, "复制", "MenuItem2", &TFrmMain::MenuItem2Click);
    add(PopZhangX, "另存为...", "MenuItem3", &TFrmMain::MenuItem3Click);
    add(PopZhangX, "打印", "MenuItem4", &TFrmMain::MenuItem4Click);
    PopZhangX->addSeparator();
    // Zoom: window-wide keys, so they work wherever the focus is.
    auto zoom = [this](const char* caption, const char* name, int direction,
                       QList<QKeySequence> keys) {
        QAction* a = PopZhangX->addAction(q(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        connect(a, &QAction::triggered, this, [this, direction] { guarded([&] { zoomChart(direction); }); });
    };
    zoom("放大", "mnuZoomIn", 1,
         {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    zoom("缩小", "mnuZoomOut", -1, {QKeySequence(QKeySequence::ZoomOut)});
    zoom("适合窗口", "mnuZoomFit", 0, {QKeySequence(Qt::CTRL | Qt::Key_0)});

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
    add(PopPingYu, "粘贴", "MenuItem7", &TFrmMain::MenuItem7Click);
    add(PopPingYu, "剪切", "MenuItem25", &TFrmMain::MenuItem25Click);
    add(PopPingYu, "删除", "MenuItem26", &TFrmMain::MenuItem26Click);
    add(PopPingYu, "全选", "MenuItem27", &TFrmMain::MenuItem27Click);
    PopPingYu->addSeparator();
    add(PopPingYu, "设置选中文字", "MenuItem29", &TFrmMain::MenuItem29Click);
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
