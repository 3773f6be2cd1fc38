// The save dialogs' formats: which file and format a dialog answer gives, and the bytes of the
// two plain-text encodings.
#include <gtest/gtest.h>

#include "app/SaveFormats.h"
#include "platform/core/Gbk.h"

using saveformats::choosePicture;

TEST(SaveFormats, TheExtensionIsAddedOnlyWhenMissing) {
    struct Case {
        const char* typed;
        int filter;
        const char* path;
        PictureFormat format;
    };
    for (const Case& c : {
             Case{"/d/chart", 2, "/d/chart.jpg", PictureFormat::Jpeg},
             Case{"/d/chart.jpg", 2, "/d/chart.jpg", PictureFormat::Jpeg},
             Case{"/d/chart.jpeg", 2, "/d/chart.jpeg", PictureFormat::Jpeg},
             Case{"/d/chart.JPEG", 1, "/d/chart.JPEG", PictureFormat::Jpeg},
             Case{"/d/chart.JPG", 2, "/d/chart.JPG", PictureFormat::Jpeg},
             Case{"/d/chart", 1, "/d/chart.bmp", PictureFormat::Bmp},
             Case{"/d/chart.png", 4, "/d/chart.png", PictureFormat::Png2x},  // the variant stays
             Case{"/d/chart.svg", 1, "/d/chart.svg", PictureFormat::Svg},    // another format's name
             Case{"/d/chart.pdf", 3, "/d/chart.pdf", PictureFormat::Pdf},
             Case{"/d/星盘.v1", 7, "/d/星盘.v1.pdf", PictureFormat::Pdf},
             Case{"/d/.png", 3, "/d/.png.png", PictureFormat::Png},          // a hidden name
             Case{"/d/chartjpg", 2, "/d/chartjpg.jpg", PictureFormat::Jpeg},
             Case{"/d/chart", 99, "/d/chart.bmp", PictureFormat::Bmp},
         }) {
        const PictureChoice got = choosePicture(c.typed, c.filter);
        EXPECT_EQ(got.path, c.path) << c.typed << " " << c.filter;
        EXPECT_EQ(got.format, c.format) << c.typed << " " << c.filter;
    }
    EXPECT_EQ(saveformats::pictureTitle(2), "另存为Jpeg图片");
    EXPECT_EQ(saveformats::withExtension("/d/a.TXT", "txt"), "/d/a.TXT");
    EXPECT_EQ(saveformats::withExtension("/d/a.rtf", "txt"), "/d/a.rtf.txt");
}

TEST(SaveFormats, PlainTextIsUtf8WithLfOrGbkWithCrlf) {
    using saveformats::TextFormat;
    const std::string text = "星座分析:\r\n白羊座\r第三行\n末行";
    EXPECT_EQ(saveformats::plainTextBytes(text, TextFormat::Utf8Text), "星座分析:\n白羊座\n第三行\n末行");
    EXPECT_EQ(saveformats::plainTextBytes(text, TextFormat::GbkText),
              gbk::fromUtf8("星座分析:\r\n白羊座\r\n第三行\r\n末行"));
    EXPECT_EQ(saveformats::textFormatOf(1), TextFormat::Rtf);
    EXPECT_EQ(saveformats::textFormatOf(2), TextFormat::Utf8Text);
    EXPECT_EQ(saveformats::textFormatOf(3), TextFormat::GbkText);
}
