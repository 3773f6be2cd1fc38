// The interface's script: the astrology and calendar terms in traditional characters as a
// reader in Taiwan or Hong Kong writes them; the catalogue converted leaves no character that
// OpenCC's own simplified-to-traditional table marks as simplified only; the converting canvas
// passes the simplified chart through untouched.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/ScriptCanvas.h"
#include "platform/core/ScriptRichText.h"
#include "platform/opencc/OpenccScript.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestData.h"

namespace {
namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::u32string u32(const std::string& s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t v = n == 1 ? c : c & (0x7F >> n);
        for (int k = 1; k < n && i + static_cast<std::size_t>(k) < s.size(); ++k)
            v = (v << 6) | (static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0x3F);
        out += v;
        i += static_cast<std::size_t>(n);
    }
    return out;
}
}  // namespace

TEST(Script, AstrologyAndCalendarTermsAsReviewed) {
    OpenccScript s;
    ASSERT_TRUE(s.problem().empty() || s.convert("天蝎座", TextScript::Taiwan) != "天蝎座")
        << s.problem();
    struct Case {
        const char* simplified;
        const char* taiwan;
        const char* hongKong;
    };
    const Case cases[] = {
        {"天蝎座", "天蠍座", "天蠍座"},   {"升交点", "升交點", "升交點"},
        {"冥王星", "冥王星", "冥王星"},   {"闰月", "閏月", "閏月"},
        {"双鱼", "雙魚", "雙魚"},         {"相冲", "相沖", "相沖"},
        {"冲", "沖", "沖"},               {"丑", "丑", "丑"},
        {"乙丑年", "乙丑年", "乙丑年"},   {"月干", "月干", "月干"},
        {"(日空:子-丑)", "(日空:子-丑)", "(日空:子-丑)"}, {"美丑", "美醜", "美醜"},
        {"时干", "時干", "時干"},         {"天宫图解说", "天宮圖解說", "天宮圖解説"},
        {"太阳回归", "太陽回歸", "太陽回歸"}, {"万年历", "萬年曆", "萬年曆"},
        {"咸通", "咸通", "咸通"},         {"圣历", "聖曆", "聖曆"},
        {"后梁", "後梁", "後梁"},         {"高后", "高后", "高后"},
        {"天复", "天復", "天復"},         {"惊蛰 谷雨", "驚蟄 穀雨", "驚蟄 穀雨"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(s.convert(c.simplified, TextScript::Taiwan), c.taiwan) << c.simplified;
        EXPECT_EQ(s.convert(c.simplified, TextScript::HongKong), c.hongKong) << c.simplified;
    }
    // Folding brings either script back to the simplified name.
    EXPECT_EQ(s.folded("張三"), "张三");
    EXPECT_EQ(s.folded("张三"), "张三");
}

TEST(Script, ConvertedCatalogueKeepsNoSimplifiedOnlyCharacter) {
    // OpenCC's own tables as text: a character whose traditional forms do not include itself
    // is simplified only, unless the region's standard forms (its variants table) use it, as
    // Taiwan writes 秘 and 床 and Hong Kong 温 and 户.
    const std::string dir = testdata::freshTempDir("script");
    const auto table = [&dir](const char* name) {
        const std::string out = dir + name + ".txt";
        const std::string cmd = std::string("opencc_dict -i /usr/share/opencc/") + name +
                                ".ocd2 -o '" + out + "' -f ocd2 -t text >/dev/null 2>&1";
        std::vector<std::pair<std::u32string, std::u32string>> rows;
        if (std::system(cmd.c_str()) != 0) return rows;
        std::istringstream lines(readFile(out));
        for (std::string line; std::getline(lines, line);) {
            const std::size_t tab = line.find('\t');
            if (tab != std::string::npos)
                rows.emplace_back(u32(line.substr(0, tab)), u32(line.substr(tab + 1)));
        }
        return rows;
    };
    const auto st = table("STCharacters");
    if (st.empty()) GTEST_SKIP() << "opencc_dict (Debian: opencc) is missing";
    OpenccScript s;
    const fs::path src = TARMIN_SOURCE_DIR;
    std::string all;
    for (const auto& e : fs::directory_iterator(src / "chart/texts"))
        if (e.path().extension() == ".txt") all += readFile(e.path());
    ASSERT_GT(all.size(), 200000u);
    for (const TextScript t : {TextScript::Taiwan, TextScript::HongKong}) {
        std::set<char32_t> regional;
        for (const auto& [key, values] : table(t == TextScript::Taiwan ? "TWVariants" : "HKVariants"))
            regional.insert(values.begin(), values.end());
        ASSERT_FALSE(regional.empty());
        std::set<char32_t> simplifiedOnly;
        for (const auto& [key, values] : st)
            if (key.size() == 1 && values.find(key[0]) == std::u32string::npos && !regional.count(key[0]))
                simplifiedOnly.insert(key[0]);
        ASSERT_GT(simplifiedOnly.size(), 2000u);
        s.setScript(t);
        std::set<char32_t> left;
        for (const char32_t c : u32(shownByLines(s, all)))
            if (simplifiedOnly.count(c)) left.insert(c);
        std::string shown;
        for (const char32_t c : left) shown += std::to_string(c) + " ";
        EXPECT_TRUE(left.empty()) << textScriptKey(t) << ": " << shown;
    }
}

TEST(Script, CanvasAndReadingConvertOnlyOutsideSimplified) {
    OpenccScript s;
    RecordingCanvas plain(800, 700), through(800, 700);
    ScriptCanvas canvas(through, s);
    for (Canvas* c : {static_cast<Canvas*>(&plain), static_cast<Canvas*>(&canvas)}) {
        c->setFontName("宋体");
        c->textOut(10, 20, "◎生于天蝎座,主宰行星:冥王星");
        c->lineTo(5, 6);
    }
    ASSERT_EQ(plain.ops().size(), through.ops().size());
    for (std::size_t i = 0; i < plain.ops().size(); ++i) {
        EXPECT_EQ(plain.ops()[i].kind, through.ops()[i].kind);
        EXPECT_EQ(plain.ops()[i].text, through.ops()[i].text);
    }
    s.setScript(TextScript::Taiwan);
    canvas.textOut(1, 2, "双鱼");
    ASSERT_NE(through.findText("雙魚"), nullptr);
}
