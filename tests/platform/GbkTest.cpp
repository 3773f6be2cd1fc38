// The GBK codec at the file boundary.
#include <gtest/gtest.h>

#include "platform/core/Gbk.h"

TEST(Gbk, RoundTripAndByteLength) {
    const std::string s = "Tarmin天文占星 3.6：某人";
    const std::string g = gbk::fromUtf8(s);
    EXPECT_EQ(g.size(), 10u + 2 * 7);  // ASCII 1 byte, each Chinese character 2
    EXPECT_EQ(gbk::toUtf8(g), s);
    EXPECT_EQ(gbk::byteLength("福建省-福州市"), 13u);
    EXPECT_TRUE(gbk::encodable("双鱼座（水象）"));
    EXPECT_FALSE(gbk::encodable("emoji 😀"));
    EXPECT_EQ(gbk::fromUtf8("a😀b"), "a?b");
}

TEST(Gbk, CutStopsAtCharacterBoundaries) {
    const std::string g = gbk::fromUtf8("ab国家");
    EXPECT_EQ(gbk::cut(g, 3), "ab");
    EXPECT_EQ(gbk::cut(g, 4), gbk::fromUtf8("ab国"));
    EXPECT_EQ(gbk::cut(g, 100), g);
    EXPECT_EQ(gbk::cutUtf8("某某某某某人", 9), "某某某某");
    EXPECT_EQ(gbk::cutUtf8("某某某某某人", 10), "某某某某某");
}

TEST(Gbk, InvalidBytesAreSubstitutedAndTheRestKept) {
    const std::string bad = std::string("\xff", 1) + gbk::fromUtf8("ok国") + "\x80";
    const std::string u = gbk::toUtf8(bad);
    EXPECT_NE(u.find("ok国"), std::string::npos);
    EXPECT_NE(u.find("\xEF\xBF\xBD"), std::string::npos);
    EXPECT_EQ(gbk::toUtf8(std::string("\xB9", 1)), "\xEF\xBF\xBD");  // truncated at the end
}
