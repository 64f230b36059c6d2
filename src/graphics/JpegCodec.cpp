// JPEG files through libjpeg.
//
// libjpeg reports fatal errors through a callback that must not return; we
// leave it with longjmp back into the function that called libjpeg. Those
// functions therefore hold only plain C state between setjmp and the libjpeg
// calls; the image they fill belongs to the caller, so no C++ destructor is
// ever skipped. Warnings (corrupt or truncated scans, which libjpeg would
// quietly fill with grey) are treated as errors: a damaged picture is
// rejected rather than shown half grey.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <jpeglib.h>

#include "graphics/Graphics.h"
#include "graphics/PictureCodecs.h"

namespace tessum {

namespace {

struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr Info) {
    auto* err = reinterpret_cast<TJpegError*>(Info->err);
    (*Info->err->format_message)(Info, err->Message);
    std::longjmp(err->Jump, 1);
}

void OnJpegMessage(j_common_ptr Info, int Level) {
    if (Level < 0) OnJpegError(Info);  // a warning: the data is damaged
}

void SetUpErrors(TJpegError& Err, jpeg_common_struct* Info) {
    Info->err = jpeg_std_error(&Err.Manager);
    Err.Manager.error_exit = OnJpegError;
    Err.Manager.emit_message = OnJpegMessage;
    Err.Message[0] = '\0';
}

// Returns an empty string on success, else the reason; Out is left alone on failure
// except that it may have been reset to a null image.
std::string DecodeInto(const std::uint8_t* Data, std::size_t Size, QImage& Out) {
    jpeg_decompress_struct info;
    TJpegError err;
    std::memset(&info, 0, sizeof info);
    SetUpErrors(err, reinterpret_cast<jpeg_common_struct*>(&info));
    if (setjmp(err.Jump)) {
        jpeg_destroy_decompress(&info);
        Out = QImage();
        return err.Message[0] ? err.Message : "damaged data";
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, Data, static_cast<unsigned long>(Size));
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > MaxPictureSide ||
        info.image_height > MaxPictureSide ||
        static_cast<std::int64_t>(info.image_width) * info.image_height > MaxPicturePixels) {
        jpeg_destroy_decompress(&info);
        return "picture too large";
    }
    info.out_color_space = JCS_EXT_BGRA;  // lands as 0xffRRGGBB words on little-endian machines
    info.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&info);
    Out = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB32);
    if (Out.isNull()) {
        jpeg_destroy_decompress(&info);
        return "out of memory";
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = Out.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return {};
}

struct TJpegOutput {
    unsigned char* Buffer = nullptr;
    unsigned long Size = 0;
};

std::string EncodeInto(const QImage& Image, int Quality, TJpegOutput& Out) {
    jpeg_compress_struct info;
    TJpegError err;
    std::memset(&info, 0, sizeof info);
    SetUpErrors(err, reinterpret_cast<jpeg_common_struct*>(&info));
    if (setjmp(err.Jump)) {
        jpeg_destroy_compress(&info);
        return err.Message[0] ? err.Message : "cannot encode";
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &Out.Buffer, &Out.Size);
    info.image_width = static_cast<JDIMENSION>(Image.width());
    info.image_height = static_cast<JDIMENSION>(Image.height());
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, Quality < 1 ? 1 : Quality > 100 ? 100 : Quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPROW>(Image.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return {};
}

}  // namespace

QImage DecodeJpeg(const std::uint8_t* Data, std::size_t Size) {
    if (Size < 4 || Data[0] != 0xff || Data[1] != 0xd8) throw EInvalidGraphic("JPEG image is not valid: no JPEG signature");
    QImage out;
    const std::string why = DecodeInto(Data, Size, out);
    if (!why.empty()) throw EInvalidGraphic("JPEG image is not valid: " + why);
    return out;
}

std::vector<std::uint8_t> EncodeJpeg(const QImage& Image, int Quality) {
    if (Image.isNull() || Image.width() == 0 || Image.height() == 0)
        throw EInvalidGraphic("JPEG image is not valid: nothing to encode");
    const QImage img = Image.format() == QImage::Format_RGB32 ? Image : Image.convertToFormat(QImage::Format_RGB32);
    TJpegOutput out;
    const std::string why = EncodeInto(img, Quality, out);
    std::vector<std::uint8_t> bytes;
    if (why.empty() && out.Buffer) bytes.assign(out.Buffer, out.Buffer + out.Size);
    std::free(out.Buffer);
    if (!why.empty()) throw EInvalidGraphic("JPEG image cannot be written: " + why);
    return bytes;
}

}  // namespace tessum
