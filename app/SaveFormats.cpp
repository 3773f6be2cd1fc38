#include "app/SaveFormats.h"

#include <array>
#include <cctype>

#include "platform/core/Gbk.h"

namespace saveformats {
namespace {
struct Entry {
    PictureFormat format;
    const char* extension;
    const char* title;
    const char* otherExtension = nullptr;  // another spelling the format is known by
};
constexpr std::array<Entry, 7> kPictures{{
    {PictureFormat::Bmp, "bmp", "另存为Bmp图片"},
    {PictureFormat::Jpeg, "jpg", "另存为Jpeg图片", "jpeg"},
    {PictureFormat::Png, "png", "另存为Png图片"},
    {PictureFormat::Png2x, "png", "另存为Png图片(2倍大小)"},
    {PictureFormat::PngWidth, "png", "另存为Png图片(指定宽度)"},
    {PictureFormat::Svg, "svg", "另存为Svg矢量图"},
    {PictureFormat::Pdf, "pdf", "另存为Pdf文档"},
}};

const Entry& entryAt(int filterIndex) {
    if (filterIndex < 1 || filterIndex > static_cast<int>(kPictures.size())) return kPictures[0];
    return kPictures[static_cast<std::size_t>(filterIndex - 1)];
}

bool endsWithExtension(const std::string& path, const std::string& extension) {
    const std::string dotted = "." + extension;
    if (path.size() <= dotted.size()) return false;
    const std::size_t from = path.size() - dotted.size();
    if (path[from - 1] == '/') return false;  // ".png" alone is a hidden name, not an extension
    for (std::size_t i = 0; i < dotted.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(path[from + i])) !=
            std::tolower(static_cast<unsigned char>(dotted[i])))
            return false;
    return true;
}
}  // namespace

const char* const kPictureFilter =
    "bmp格式|*.bmp|jpg格式|*.jpg|png格式|*.png|png格式(2倍大小)|*.png|png格式(指定宽度)|*.png|"
    "svg矢量图|*.svg|pdf文档|*.pdf";

std::string pictureTitle(int filterIndex) { return entryAt(filterIndex).title; }

const char* extensionOf(PictureFormat f) {
    for (const Entry& e : kPictures)
        if (e.format == f) return e.extension;
    return "bmp";
}

PictureChoice choosePicture(const std::string& path, int filterIndex) {
    const Entry& chosen = entryAt(filterIndex);
    auto named = [&path](const Entry& e) {
        return endsWithExtension(path, e.extension) ||
               (e.otherExtension && endsWithExtension(path, e.otherExtension));
    };
    if (named(chosen)) return {chosen.format, path};
    for (const Entry& e : kPictures)
        if (named(e)) return {e.format, path};
    return {chosen.format, path + "." + chosen.extension};
}

const char* const kTextFilter = "Rtf格式|*.rtf|Txt格式(UTF-8)|*.txt|Txt格式(GBK)|*.txt";

TextFormat textFormatOf(int filterIndex) {
    if (filterIndex == 2) return TextFormat::Utf8Text;
    if (filterIndex == 3) return TextFormat::GbkText;
    return TextFormat::Rtf;
}

std::string withExtension(const std::string& path, const std::string& extension) {
    return endsWithExtension(path, extension) ? path : path + "." + extension;
}

std::string plainTextBytes(const std::string& utf8, TextFormat format) {
    std::string lf;
    lf.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r') {
            lf.push_back('\n');
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        } else {
            lf.push_back(utf8[i]);
        }
    }
    if (format != TextFormat::GbkText) return lf;
    std::string crlf;
    crlf.reserve(lf.size() + lf.size() / 16);
    for (const char ch : lf) {
        if (ch == '\n') crlf.push_back('\r');
        crlf.push_back(ch);
    }
    return gbk::fromUtf8(crlf);
}
}  // namespace saveformats
