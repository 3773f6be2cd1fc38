#include "platform/qt/JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

struct MemoryFree {
    void operator()(unsigned char* p) const { std::free(p); }
};

// The JPEG bytes of the image in memory; false with the encoder's message on failure.
bool encodeJpeg(const QImage& rgb, std::string& bytes, std::string* error) {
    // Filled by the encoder through their addresses, so they live in memory across a longjmp.
    struct {
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
    } out;
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    // Nothing with a destructor may live between setjmp and a longjmp back to it.
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(out.buffer);
        if (error) *error = err.message;
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &out.buffer, &out.size);
    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const std::unique_ptr<unsigned char, MemoryFree> owned(out.buffer);
    bytes.assign(reinterpret_cast<const char*>(out.buffer), out.size);
    return true;
}
}  // namespace

bool writeJpeg(const QImage& image, const std::string& path, std::string* error,
               recfs::ReplaceResult* result) {
    if (result) *result = recfs::ReplaceResult::WriteFailed;
    if (image.isNull()) {
        if (error) *error = "empty image";
        return false;
    }
    std::string bytes;
    if (!encodeJpeg(image.convertToFormat(QImage::Format_RGB888), bytes, error)) return false;
    const recfs::ReplaceResult r = recfs::replaceFile(path, bytes);
    if (result) *result = r;
    if (r != recfs::ReplaceResult::Written) {
        if (error) *error = recfs::replaceFailureText(r, path);
        return false;
    }
    return true;
}
