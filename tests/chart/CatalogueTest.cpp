// The built-in text catalogue: its identifier set, lengths, encoding and the fixed openings.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "chart/Catalogue.h"
#include "chart/CatalogueSource.h"
#include "platform/core/Gbk.h"
#include "tests/support/TestData.h"

namespace {
std::set<int> expectedIds() {
    std::set<int> ids;
    auto range = [&](int from, int count) {
        for (int i = 0; i < count; ++i) ids.insert(from + i);
    };
    for (int id : {1, 2, 3, 4, 11, 12, 13, 14, 22, 23, 24, 33, 34, 44}) ids.insert(id);
    for (int b = 0; b < 4; ++b) range(50 + 10 * b, 3);
    for (int base = 100; base <= 200; base += 20) range(base, 12);
    range(221, 29);
    for (int base = 300; base <= 460; base += 20) range(base, 12);
    for (int base = 500; base <= 640; base += 20) range(base, 12);
    for (int base = 700; base <= 860; base += 20) range(base, 12);
    range(900, 12);
    range(1000, 12);
    for (int i = 1; i <= 9; ++i) range(1000 + 20 * i, 12);
    for (int i = 0; i < 10; ++i)
        for (int j = i + 1; j < 10; ++j)
            for (int k = 0; k < 5; ++k) ids.insert(2000 + 100 * i + 10 * j + k);
    for (int i = 0; i < 10; ++i) range(3000 + 100 * i, 12);
    range(3950, 12);
    return ids;
}

int characters(const std::string& utf8) {
    int n = 0;
    for (const unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string list(const std::vector<int>& ids) {
    std::string s;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        // Runs of consecutive ids as a-b.
        std::size_t j = i;
        while (j + 1 < ids.size() && ids[j + 1] == ids[j] + 1) ++j;
        if (!s.empty()) s += ", ";
        s += std::to_string(ids[i]);
        if (j > i) s += "-" + std::to_string(ids[j]);
        i = j;
    }
    return s;
}

const char* const kHouses[12] = {"第一宫：", "第二宫：", "第三宫：", "第四宫：",
                                 "第五宫：", "第六宫：", "第七宫：", "第八宫：",
                                 "第九宫：", "第十宫：", "第十一宫：", "第十二宫："};

bool startsWith(const std::string& s, const std::string& p) { return s.rfind(p, 0) == 0; }
}  // namespace

TEST(Catalogue, IdentifierSetIsExactlyTheTable) {
    const std::set<int> expected = expectedIds();
    ASSERT_EQ(expected.size(), 928u);
    std::set<int> present;
    for (const uint16_t id : catalogue::identifiers()) present.insert(id);
    std::vector<int> missing, extra;
    for (int id : expected)
        if (!present.count(id)) missing.push_back(id);
    for (int id : present)
        if (!expected.count(id)) extra.push_back(id);
    std::printf("catalogue: %zu of 928 identifiers present\n", present.size() - extra.size());
    EXPECT_TRUE(missing.empty()) << missing.size() << " missing: " << list(missing);
    EXPECT_TRUE(extra.empty()) << extra.size() << " not in the table: " << list(extra);
}

TEST(Catalogue, LengthsEncodingAndDistinctTexts) {
    long total = 0;
    int shortest = 1 << 30;
    int longest = 0;
    std::map<std::string, int> seen;
    for (const uint16_t id : catalogue::identifiers()) {
        const std::string t = catalogue::text(id);
        const int n = characters(t);
        total += n;
        shortest = std::min(shortest, n);
        longest = std::max(longest, n);
        EXPECT_GE(n, 3) << "id " << id;
        EXPECT_LE(n, 509) << "id " << id;
        EXPECT_EQ(catalogue::gbkText(id).size(), gbk::byteLength(t)) << "id " << id;
        auto [it, fresh] = seen.emplace(t, id);
        EXPECT_TRUE(fresh) << "ids " << it->second << " and " << id << " hold the same text";
    }
    std::printf("catalogue: %ld characters in all, shortest %d, longest %d\n", total, shortest,
                longest);
    EXPECT_GE(total, 120000);
    EXPECT_TRUE(catalogue::text(9999).empty());
    EXPECT_TRUE(catalogue::gbkText(0).empty());

    // The compiled table holds exactly the source texts: every character was encodable in GBK.
    std::vector<std::string> problems;
    const auto source =
        catalogue_source::readFolder(testdata::sourceDir() + "chart/texts", problems);
    for (const auto& p : problems) ADD_FAILURE() << p;
    std::set<long> ids;
    for (const auto& e : source) {
        EXPECT_TRUE(ids.insert(e.id).second) << e.file << ":" << e.line << ": id " << e.id << " repeated";
        EXPECT_TRUE(gbk::encodable(e.text)) << e.file << ":" << e.line << ": id " << e.id;
        EXPECT_TRUE(catalogue::text(static_cast<uint16_t>(e.id)) == e.text)
            << e.file << ":" << e.line << ": id " << e.id
            << " differs from the compiled table (a character outside GBK, or the texts changed"
               " since the last build)";
    }
}

TEST(Catalogue, FixedTextsAndOpenings) {
    EXPECT_EQ(catalogue::text(3950), "第一宫：自我意识、表达方式、外貌、人格及童年的成长环境。");
    EXPECT_EQ(catalogue::text(3000), "第一宫：自私、健壮、强势时极自私，受克时健康不佳");
    for (const uint16_t id : catalogue::identifiers()) {
        const std::string t = catalogue::text(id);
        if (id >= 3000 && id <= 3911 && id % 100 < 12) {
            EXPECT_TRUE(startsWith(t, kHouses[id % 100])) << id << ": " << t.substr(0, 24);
        }
        if (id >= 3950 && id <= 3961) {
            EXPECT_TRUE(startsWith(t, kHouses[id - 3950])) << id << ": " << t.substr(0, 24);
        }
    }
    const char* const blood[4] = {"A型：", "B型：", "AB型：", "O型："};
    for (int b = 0; b < 4; ++b)
        EXPECT_TRUE(startsWith(catalogue::text(static_cast<uint16_t>(1 + b)), blood[b])) << b + 1;
    EXPECT_TRUE(startsWith(catalogue::text(221), "诞生在初一(新月)者"));
}

TEST(Catalogue, SourceReaderFormat) {
    std::vector<catalogue_source::Entry> out;
    std::vector<std::string> problems;
    catalogue_source::parseText(
        "comment line\n@12\nfirst\r\nsecond\n\n  \n@13\n\n@x1\nignored\n@14\nlast", "t.txt", out,
        problems);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].id, 12);
    EXPECT_EQ(out[0].text, "first\nsecond");
    EXPECT_EQ(out[1].text, "");
    EXPECT_EQ(out[2].id, -1);
    EXPECT_EQ(problems.size(), 1u);
    EXPECT_EQ(out[3].text, "last");
}
