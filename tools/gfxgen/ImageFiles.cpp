#include "ImageFiles.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <jpeglib.h>

namespace tessum::gfx {

namespace {

void Put16(Bytes& B, std::uint32_t V) {
    B.push_back(static_cast<std::uint8_t>(V & 0xFF));
    B.push_back(static_cast<std::uint8_t>((V >> 8) & 0xFF));
}
void Put32(Bytes& B, std::uint32_t V) {
    Put16(B, V & 0xFFFF);
    Put16(B, V >> 16);
}

// libjpeg reports errors through a callback that must not return; jump back
// out of the library and turn it into an exception there.
struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr Info) {
    auto* err = reinterpret_cast<JpegError*>(Info->err);
    (*Info->err->format_message)(Info, err->message);
    std::longjmp(err->jump, 1);
}

}  // namespace

Bytes EncodeBmp(const QImage& Image) {
    const QImage img = Image.convertToFormat(QImage::Format_RGB32);
    const std::uint32_t w = static_cast<std::uint32_t>(img.width()), h = static_cast<std::uint32_t>(img.height());
    const std::uint32_t stride = (w * 3 + 3) & ~3u;
    const std::uint32_t dataSize = stride * h;
    Bytes b;
    b.reserve(54 + dataSize);
    b.push_back('B');
    b.push_back('M');
    Put32(b, 54 + dataSize);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, w);
    Put32(b, h);  // positive: rows stored bottom-up
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);  // BI_RGB
    Put32(b, dataSize);
    Put32(b, 2835);  // 72 dpi
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    for (std::uint32_t row = 0; row < h; ++row) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(static_cast<int>(h - 1 - row)));
        for (std::uint32_t x = 0; x < w; ++x) {
            b.push_back(static_cast<std::uint8_t>(qBlue(line[x])));
            b.push_back(static_cast<std::uint8_t>(qGreen(line[x])));
            b.push_back(static_cast<std::uint8_t>(qRed(line[x])));
        }
        for (std::uint32_t pad = w * 3; pad < stride; ++pad) b.push_back(0);
    }
    return b;
}

Bytes EncodeJpeg(const QImage& Image, int Quality) {
    const QImage img = Image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    JpegError err{};
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&info);
        std::free(out);
        throw std::runtime_error(std::string("JPEG encoding failed: ") + err.message);
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = static_cast<JDIMENSION>(img.width());
    info.image_height = static_cast<JDIMENSION>(img.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, Quality, TRUE);
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(img.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes result(out, out + outSize);
    jpeg_destroy_compress(&info);
    std::free(out);
    return result;
}

QImage DecodeJpeg(const Bytes& Data) {
    jpeg_decompress_struct info{};
    JpegError err{};
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    QImage img;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        throw std::runtime_error(std::string("JPEG decoding failed: ") + err.message);
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, Data.data(), static_cast<unsigned long>(Data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    img = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = img.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return img.convertToFormat(QImage::Format_RGB32);
}

}  // namespace tessum::gfx
