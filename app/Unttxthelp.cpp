#include "app/Unttxthelp.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const char* const kUsage =
    "一、排本命盘\n"
    "  在右侧输入栏填写姓名、出生日期和时间（公历或农历，农历闰月请勾选“农历闰月”）、"
    "性别、血型、时区和出生地，然后按“本命盘”。\n"
    "  出生地可以从省份和城市列表中选择，也可以直接输入经纬度，格式为 度:分，"
    "例如 经度 117:48、纬度 25:42；东经、北纬为正，西经、南纬为负。\n"
    "  按城市列表右边的“>”可以输入县、市、区名查找城市。\n"
    "  时区以整点计算，东八区为北京时间。年份范围 1600 至 2200 年。\n\n"
    "二、看天宫图与解说\n"
    "  “占星天宫图”页显示星盘和数据表，鼠标停在行星或宫位上可以看到说明，"
    "按住左键可以拖动图片。右键菜单可以复制、另存为 BMP 或 JPG 图片、打印。\n"
    "  “天宫图解说”页是按主题编排的解说，点击上方的主题可以跳到相应段落。"
    "解说文字可以编辑、设置字体、导入、另存为 RTF 或 TXT 文件、打印。\n\n"
    "三、流年盘\n"
    "  排好本命盘后按“流”，选择流年时间，流年行星画在本命盘的内圈。\n\n"
    "四、命例\n"
    "  按“存新”把当前命例和下方的评语保存到左侧的命例树，可以分类、查找、"
    "导入、导出和整理记录文件。双击命例可以重新打开。\n\n"
    "五、辅助工具与选项\n"
    "  万年历（公元前 4713 年至 9999 年，含节气、农历和干支）、经纬度设置、血型测试；"
    "排盘设置（容许度、星座分界线、背景色）、命稿字体和背景色、界面风格。\n";

const char* const kProducts =
    "Tarmin天文占星 3.6\n\n"
    "  西洋占星本命盘与流年盘，自带天文计算（行星、月亮、冥王星和月交点的视黄经），"
    "Placidus 分宫，相位表和按主题编排的解说。\n\n"
    "  同一程序中还包括：\n"
    "  · 万年历：节气、朔日、农历月份、年号和干支。\n"
    "  · 命例库：分类保存命例和评语，查找、导入、导出。\n"
    "  · 经纬度表：全国各省市的经纬度，可以修改。\n"
    "  · 血型测试：两种血型的配合。\n\n"
    "  命令行工具 tarmin-cli 可以不开窗口直接计算星盘并输出图片。\n";

const char* const kHistory =
    "3.6\n"
    "  · 在 Linux 桌面上运行，界面和数据文件保持原样（GBK 文本、INI 设置、命例文件）。\n"
    "  · 星盘图片可以另存为 JPG。\n"
    "  · 界面风格改为样式表皮肤，放在程序目录的 skins 文件夹中。\n"
    "  · 设置文件写入失败时给出提示，不再悄悄丢失。\n";

QPlainTextEdit* page(const char* text, QWidget* parent) {
    auto* e = new QPlainTextEdit(QString::fromUtf8(text), parent);
    e->setReadOnly(true);
    e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return e;
}
}  // namespace

TFrmTxtHelp::TFrmTxtHelp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmTxtHelp"));
    setWindowTitle(QStringLiteral("软件帮助"));
    setModal(true);
    resize(702, 662);
    auto* col = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->addTab(page(kUsage, pages_), QStringLiteral("使用说明"));
    pages_->addTab(page(kProducts, pages_), QStringLiteral("Tarmin软件"));
    pages_->addTab(page(kHistory, pages_), QStringLiteral("升级改进历史"));
    col->addWidget(pages_);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect r = s->availableGeometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
}
