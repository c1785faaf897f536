#include "tools/jpegcodec/NativeJpeg.h"

#include <csetjmp>
#include <cstdio>  // before jpeglib.h, which uses FILE
#include <cstdlib>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "flash/core/Bitmap.h"

namespace flash {

namespace {

struct ErrorJump {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void onError(j_common_ptr cinfo) { longjmp(reinterpret_cast<ErrorJump*>(cinfo->err)->jump, 1); }
void onMessage(j_common_ptr) {}

}  // namespace

bool LibJpegDecoder::decode(const uint8_t* data, size_t size, DecodedImage& out) {
    ++calls;
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
    jpeg_decompress_struct cinfo;
    ErrorJump err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = onError;
    err.mgr.output_message = onMessage;
    // Everything that lives across setjmp is set up before it.
    std::vector<uint8_t> row;
    out = DecodedImage();
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        out = DecodedImage();
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK ||
        static_cast<size_t>(cinfo.image_width) * cinfo.image_height > kMaxBitmapPixels ||
        cinfo.image_width == 0 || cinfo.image_height == 0) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
    out.width = w;
    out.height = h;
    out.pixels.assign(static_cast<size_t>(w) * h, 0);
    row.resize(static_cast<size_t>(w) * cinfo.output_components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {row.data()};
        int y = static_cast<int>(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, rows, 1);
        uint32_t* dst = out.pixels.data() + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x)
            dst[x] = 0xFF000000u | static_cast<uint32_t>(row[x * 3]) << 16 |
                     static_cast<uint32_t>(row[x * 3 + 1]) << 8 | row[x * 3 + 2];
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool encodeJpeg(const std::vector<uint32_t>& rgb, int width, int height, int quality,
                std::vector<uint8_t>& out) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    jpeg_mem_dest(&cinfo, &mem, &memSize);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint32_t* src = rgb.data() + static_cast<size_t>(cinfo.next_scanline) * width;
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<uint8_t>(src[x] >> 16);
            row[x * 3 + 1] = static_cast<uint8_t>(src[x] >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(src[x]);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    out.assign(mem, mem + memSize);
    jpeg_destroy_compress(&cinfo);
    std::free(mem);
    return !out.empty();
}

}  // namespace flash
