#include "app/Unttxthelp.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>

#include "platform/core/ScriptRichText.h"

// The resource lives in a static library: nothing else references it, so it is registered here.
static void registerHelpTexts() { Q_INIT_RESOURCE(help); }

namespace {
QTextBrowser* page(const char* source, const char* caption, QWidget* parent,
                   ScriptConverter* script) {
    auto* text = new QTextBrowser(parent);
    text->setObjectName(QString::fromLatin1(source));
    text->setAccessibleName(QString::fromUtf8(caption));
    text->setOpenLinks(false);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font = text->font();
    font.setPointSizeF(10.5);
    text->document()->setDefaultFont(font);
    text->document()->setDocumentMargin(14);
    QString markdown = TFrmTxtHelp::pageSource(source);
    if (script && script->script() != TextScript::Simplified)
        markdown = QString::fromStdString(shownByLines(*script, markdown.toStdString()));
    text->setMarkdown(markdown);
    // Chinese prose reads more easily with some air between the lines.
    QTextCursor cursor(text->document());
    for (QTextBlock b = text->document()->begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat format = b.blockFormat();
        format.setLineHeight(135, QTextBlockFormat::ProportionalHeight);
        cursor.setPosition(b.position());
        cursor.setBlockFormat(format);
    }
    return text;
}
}  // namespace

QString TFrmTxtHelp::pageSource(const char* name) {
    registerHelpTexts();
    QFile file(QStringLiteral(":/help/%1.md").arg(QString::fromLatin1(name)));
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll());
}

TFrmTxtHelp::TFrmTxtHelp(QWidget* parent, ScriptConverter* script) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmTxtHelp"));
    setWindowTitle(QStringLiteral("软件帮助"));
    setModal(true);
    resize(702, 662);
    auto* col = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->addTab(page("usage", "使用说明", pages_, script), QStringLiteral("使用说明"));
    pages_->addTab(page("about", "Tarmin软件", pages_, script), QStringLiteral("Tarmin软件"));
    pages_->addTab(page("history", "升级改进历史", pages_, script), QStringLiteral("升级改进历史"));
    col->addWidget(pages_);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect r = s->availableGeometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
}
