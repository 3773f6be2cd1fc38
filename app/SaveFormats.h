// The formats of the save dialogs of the main window: the chart picture and the plain text of
// the reading and the comment, with the rule for the file name's extension.
#pragma once
#include <string>

enum class PictureFormat { Bmp, Jpeg, Png, Png2x, PngWidth, Svg, Pdf };

struct PictureChoice {
    PictureFormat format = PictureFormat::Bmp;
    std::string path;
};

namespace saveformats {
// Filter of the picture dialog, one entry per format in the order of PictureFormat; filter
// indices count from 1.
extern const char* const kPictureFilter;
// The dialog's title for a filter index ("另存为Png图片").
std::string pictureTitle(int filterIndex);
const char* extensionOf(PictureFormat f);  // without the dot: "bmp"
// The format and file of a dialog answer. The chosen filter's extension is added only when the
// name does not end with it already ("chart.jpg" and "chart.jpeg" stay as they are); a name that ends with the
// extension of another offered format is written in that format ("chart.svg" with the BMP
// filter is an SVG file).
PictureChoice choosePicture(const std::string& path, int filterIndex);

// The text dialog: RTF, UTF-8 text with LF line ends, GBK text with CRLF line ends.
extern const char* const kTextFilter;
enum class TextFormat { Rtf, Utf8Text, GbkText };
TextFormat textFormatOf(int filterIndex);
// The path with the format's extension added when it does not end with it already.
std::string withExtension(const std::string& path, const std::string& extension);
// The bytes of a plain-text file of UTF-8 text (any line ends) in the chosen encoding.
std::string plainTextBytes(const std::string& utf8, TextFormat format);
}  // namespace saveformats
