// Every character the program can show has a glyph in the installed fonts: the era names of the
// perpetual calendar, the texts of the reading and the blood-type test, the place table, and the
// texts of the windows, messages and help, in simplified characters and as the traditional
// interfaces show them. The chart's Song face comes first; the CJK fallback
// (Debian's fonts-noto-cjk) covers what it lacks, e.g. 匄 of 敬王匄.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QRawFont>
#include <map>
#include <utility>
#include <vector>
#include <QRegularExpression>
#include <QString>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "platform/core/Gbk.h"
#include "platform/core/ScriptRichText.h"
#include "platform/opencc/OpenccScript.h"
#include "platform/qt/QImageCanvas.h"
#include "tests/platform/QtTestApp.h"
#include "tests/support/TestData.h"

namespace {
namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every text collected, to be collected again as the traditional interfaces show it.
std::vector<std::pair<QString, std::string>>& collectedTexts() {
    static std::vector<std::pair<QString, std::string>> texts;
    return texts;
}

// The characters beyond ASCII of a text, with where they were met first.
void collect(const QString& text, const std::string& where, std::map<char32_t, std::string>& out) {
    collectedTexts().emplace_back(text, where);
    for (const char32_t c : text.toUcs4())
        if (c > 0x7F && c != 0xFEFF) out.emplace(c, where);
}

// The string literals of a source file: what it can show (comments are not shown).
QString literals(const std::string& source) {
    static const QRegularExpression literal(QStringLiteral(R"re("((?:[^"\\\n]|\\.)*)")re"));
    QString all;
    auto it = literal.globalMatch(QString::fromUtf8(source));
    while (it.hasNext()) all += it.next().captured(1);
    return all;
}
}  // namespace

TEST(GlyphCoverage, EveryCharacterTheProgramShowsHasAGlyph) {
    testqt::app();
    const QStringList families = QFontDatabase::families();
    const QStringList fallbacks = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")};
    QStringList installed;
    for (const QString& f : fallbacks)
        if (families.contains(f)) installed << f;
    if (installed.isEmpty())
        GTEST_SKIP() << "the CJK fallback font is not installed (Debian: fonts-noto-cjk); "
                        "characters such as 匄 would show as boxes";

    const fs::path src = TARMIN_SOURCE_DIR;
    std::map<char32_t, std::string> chars;
    for (const char* folder : {"app", "dialogs", "calendar", "calendar/ui", "calendar/tables", "chart",
                               "records/ui", "platform/qt"})
        for (const auto& e : fs::directory_iterator(src / folder))
            if (e.path().extension() == ".cpp" || e.path().extension() == ".h")
                collect(literals(readFile(e.path())), e.path().filename().string(), chars);
    for (const char* folder : {"chart/texts", "app/help"})
        for (const auto& e : fs::directory_iterator(src / folder))
            if (e.path().extension() == ".txt" || e.path().extension() == ".md")
                collect(QString::fromUtf8(readFile(e.path())), e.path().filename().string(), chars);
    collect(QString::fromStdString(gbk::toUtf8(readFile(src / "resources/dat/dili.ini"))), "dili.ini", chars);
    ASSERT_GT(chars.size(), 2000u) << "the sources were not found under " << src;
    // The same texts in traditional characters, as Taiwan and Hong Kong readers see them.
    OpenccScript script;
    const auto texts = collectedTexts();
    for (const TextScript t : {TextScript::Taiwan, TextScript::HongKong}) {
        script.setScript(t);
        for (const auto& [text, where] : texts)
            collect(QString::fromStdString(shownByLines(script, text.toStdString())),
                    where + " (" + textScriptKey(t) + ")", chars);
    }

    // The Song face on its own, and the face as the windows draw it: with the fonts Qt falls
    // back to for a character the face lacks.
    const QFont song(QImageCanvas::familyFor("宋体"));
    const QRawFont songAlone = QRawFont::fromFont(song);
    ASSERT_TRUE(songAlone.isValid());
    const QFontMetrics shown(song);
    std::vector<QRawFont> fallbackFaces;
    for (const QString& f : installed) fallbackFaces.push_back(QRawFont::fromFont(QFont(f)));
    const auto inFallback = [&](char32_t c) {
        for (const QRawFont& f : fallbackFaces)
            if (f.supportsCharacter(c)) return true;
        return shown.inFontUcs4(c);
    };
    int fromFallback = 0;
    std::string missing, fallbackSample;
    for (const auto& [c, where] : chars) {
        if (QChar::category(c) == QChar::Other_Format || QChar::isSpace(c)) continue;
        if (songAlone.supportsCharacter(c)) continue;
        if (inFallback(c)) {
            if (++fromFallback <= 10) fallbackSample += QString::fromUcs4(&c, 1).toStdString();
            continue;
        }
        missing += QString::fromUcs4(&c, 1).toStdString() + " (" + where + ") ";
    }
    std::printf("%zu characters, %d of them from a fallback face (%s...)\n", chars.size(), fromFallback,
                fallbackSample.c_str());
    EXPECT_TRUE(missing.empty()) << "no glyph in the installed fonts: " << missing;
}
