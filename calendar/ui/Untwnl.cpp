// TFrmWnl: the window and its controls. The events are Untwnl_events.cpp, the drawing
// Untwnl_draw.cpp.
#include "calendar/ui/Untwnl.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QToolButton>
#include <algorithm>

#include "platform/qt/Controls.h"
#include "platform/qt/QImageCanvas.h"
#include "platform/qt/UpDown.h"

// The glyphs live in the library's resource, which a static library must register itself.
static void initWnlResources() { Q_INIT_RESOURCE(calendar_ui); }

namespace {
constexpr int kGridWidth = 450;
constexpr int kGridHeight = 330;
const QColor kBackground(255, 255, 200);

// Screen readers see the calendar as a window of its own, as they see the main window (a plain
// widget would be announced as a filler).
QAccessibleInterface* windowAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("TFrmWnl") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

QFont songFont(int pixels, bool bold = false) {
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void colourText(QWidget* w, const QColor& text, const QColor* base = nullptr) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::WindowText, text);
    if (base) p.setColor(QPalette::Base, *base);
    w->setPalette(p);
}

QTextEdit* memo(QWidget* parent, const char* name, const char* accessible) {
    auto* m = new QTextEdit(parent);
    m->setObjectName(QString::fromLatin1(name));
    m->setReadOnly(true);
    m->setAcceptRichText(false);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m->document()->setDocumentMargin(2);
    nameControl(m, accessible);
    return m;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// The grid image and the frame on the selected day

TWnlImage::TWnlImage(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {
    setCursor(Qt::PointingHandCursor);
}

void TWnlImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void TWnlImage::mousePressEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    emit mouseDown(e->button(), at.x(), at.y());
}

TWnlShape::TWnlShape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void TWnlShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Fill and pen mask what lies beneath (destination AND green): the cell's paper turns
    // green, its text and lines stay dark, so the selected day is tinted as well as framed.
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    const QColor green(0, 128, 0);
    p.fillRect(rect(), green);
    QPen pen(green, 3, Qt::DashLine);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 1.5, width() - 3, height() - 3));
}

// ---------------------------------------------------------------------------------------------
// Construction

TFrmWnl::TFrmWnl(UiServices& ui, MYiDateEx& calendar, NatalInput& natal, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui_(ui),
      calendar_(calendar),
      natal_(natal),
      image_(kGridWidth, kGridHeight, QImage::Format_RGB32) {
    initWnlResources();
    static const bool accessibleAsWindow = [] {
        QAccessible::installFactory(windowAccessible);
        return true;
    }();
    (void)accessibleAsWindow;
    image_.fill(kBackground);
    imageCanvas_ = std::make_unique<QImageCanvas>(image_);
    canvas_ = imageCanvas_.get();
    build();
    buildLists();
    connectEvents();
}

TFrmWnl::~TFrmWnl() = default;

void TFrmWnl::build() {
    setObjectName(QStringLiteral("FrmWnl"));
    setWindowTitle(qs("Tarmin万年历"));
    setWindowIcon(QIcon(QStringLiteral(":/calendar/wnl.png")));
    setFixedSize(542, 413);
    setFont(songFont(12));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);

    const QColor silver(192, 192, 192);
    labxiao = memo(this, "labxiao", "纪年");
    labxiao->setGeometry(10, 5, 527, 25);
    labxiao->setFont(songFont(16, true));
    colourText(labxiao, QColor(0, 0, 255), &silver);
    labxiao->setFocusPolicy(Qt::ClickFocus);
    // One line: where several dynasties share a year the line runs on past the right edge
    // (the hint shows all of it) rather than wrapping into a half-hidden second line.
    labxiao->setLineWrapMode(QTextEdit::NoWrap);

    labtitle = new QLabel(this);
    labtitle->setObjectName(QStringLiteral("labtitle"));
    labtitle->setFont(songFont(16, true));
    labtitle->setGeometry(171, 43, 72, 16);

    BitBtn2 = new QToolButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(272, 37, 49, 28);
    BitBtn2->setIcon(QIcon(QStringLiteral(":/calendar/prev.png")));
    BitBtn2->setIconSize(QSize(20, 20));
    BitBtn2->setToolTip(qs("上一月"));
    nameControl(BitBtn2, "上一月");

    BitBtn1 = new QToolButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(336, 37, 49, 28);
    BitBtn1->setIcon(QIcon(QStringLiteral(":/calendar/next.png")));
    BitBtn1->setIconSize(QSize(20, 20));
    BitBtn1->setToolTip(qs("下一月"));
    nameControl(BitBtn1, "下一月");

    sbtnnow = flatButton(this, "sbtnnow", nullptr, "当前时间");
    sbtnnow->setGeometry(400, 40, 41, 22);
    sbtnnow->setIcon(QIcon(QStringLiteral(":/calendar/now.png")));
    sbtnnow->setIconSize(QSize(16, 16));

    const QFont listFont = songFont(13, true);
    EdtYear = new QLineEdit(qs("1900"), this);
    EdtYear->setObjectName(QStringLiteral("EdtYear"));
    EdtYear->setGeometry(462, 40, 53, 21);
    EdtYear->setFont(listFont);
    EdtYear->setMaxLength(5);
    nameControl(EdtYear, "年");

    UdYear = new TUpDown(this);
    UdYear->setObjectName(QStringLiteral("UdYear"));
    UdYear->setGeometry(515, 39, 18, 22);
    UdYear->setRange(kFirstYear + 1, kLastYear);
    nameControl(UdYear, "年份");

    struct ListSpec {
        QComboBox** list;
        const char* name;
        const char* accessible;
        int top;
        int rows;
    };
    for (const ListSpec& s : {ListSpec{&cbom, "cbom", "月", 70, 12}, ListSpec{&cbod, "cbod", "日", 96, 31},
                              ListSpec{&cbos, "cbos", "时", 126, 24},
                              ListSpec{&cbomin, "cbomin", "分", 155, 31}}) {
        QComboBox* c = fixedList(this, s.name, s.accessible);
        c->setGeometry(462, s.top, 73, 22);
        c->setFont(listFont);
        c->setMaxVisibleItems(s.rows);
        // On Linux a list is announced by its current item; the description keeps its name.
        c->setAccessibleDescription(qs(s.accessible));
        *s.list = c;
    }

    memjie1 = memo(this, "memjie1", "节气");
    memjie1->setGeometry(461, 181, 76, 108);
    memjie1->setFont(songFont(12));
    colourText(memjie1, QColor(255, 0, 0));

    memgz = memo(this, "memgz", "四柱");
    memgz->setGeometry(463, 293, 74, 84);
    memgz->setFont(songFont(15));
    colourText(memgz, QColor(0, 0, 255));

    Img1 = new TWnlImage(image_, this);
    Img1->setObjectName(QStringLiteral("Img1"));
    Img1->setGeometry(4, 72, kGridWidth, kGridHeight);
    nameControl(Img1, "月历");

    Shape1 = new TWnlShape(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(4, 72, kGridWidth / 7, kGridHeight / 7);
    nameControl(Shape1, "选中日");
    Shape1->raise();

    BtnPai = new QPushButton(qs("本命盘"), this);
    BtnPai->setObjectName(QStringLiteral("BtnPai"));
    BtnPai->setGeometry(464, 379, 73, 30);
}

void TFrmWnl::buildLists() {
    settingControls_ = true;
    const auto fill = [](QComboBox* list, int from, int to, const char* unit) {
        list->clear();
        for (int i = from; i <= to; ++i) list->addItem(QString::number(i) + qs(unit));
    };
    fill(cbom, 1, 12, "月");
    fill(cbod, 1, 31, "日");
    fill(cbos, 0, 23, "时");
    fill(cbomin, 0, 59, "分");
    settingControls_ = false;
}

void TFrmWnl::connectEvents() {
    for (QComboBox* list : {cbom, cbod, cbos, cbomin})
        connect(list, &QComboBox::currentIndexChanged, this, [this] {
            if (!settingControls_) cboChange();
        });
    // The arrows count from the year the box shows, also at the end of their range; a typed
    // year applies on Enter and when the box loses the focus.
    connect(UdYear, &TUpDown::arrowPressed, this, &TFrmWnl::UdYearClick);
    connect(EdtYear, &QLineEdit::editingFinished, this, &TFrmWnl::EdtYearEnter);
    connect(BitBtn2, &QToolButton::clicked, this, &TFrmWnl::BitBtn2Click);
    connect(BitBtn1, &QToolButton::clicked, this, &TFrmWnl::BitBtn1Click);
    connect(sbtnnow, &QToolButton::clicked, this, &TFrmWnl::sbtnnowClick);
    connect(Img1, &TWnlImage::mouseDown, this, &TFrmWnl::Img1MouseDown);
    connect(BtnPai, &QPushButton::clicked, this, &TFrmWnl::BtnPaiClick);
    buildSky();
}

void TFrmWnl::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (centred_) return;
    centred_ = true;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void TFrmWnl::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TFrmWnl::setGridCanvas(Canvas* canvas) { canvas_ = canvas ? canvas : imageCanvas_.get(); }

void TFrmWnl::setScript(ScriptConverter* script) {
    const bool onImage = canvas_ == imageCanvas_.get() || canvas_ == scriptCanvas_.get();
    scriptCanvas_ = script ? std::make_unique<ScriptCanvas>(*imageCanvas_, *script) : nullptr;
    if (onImage) canvas_ = scriptCanvas_ ? static_cast<Canvas*>(scriptCanvas_.get()) : imageCanvas_.get();
    if (isVisible()) redraw();
}
