#include "editors/ticketreduce.h"

#include "app/errors.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>

namespace dm {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return; jumping back
// keeps its C frames free of C++ unwinding.
struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    longjmp(err->jump, 1);
}

void onMessage(j_common_ptr) {} // warnings are not shown

[[noreturn]] void fail(const char* message) {
    throw FileError(QStringLiteral("JPEG: ") + QString::fromLocal8Bit(message));
}

// The canvas's 32-bit pixels as libjpeg-turbo names their byte order.
constexpr J_COLOR_SPACE kCanvasSpace =
    Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

// Returns false with err->message set; no C++ object lives across the setjmp.
bool encode(const QImage& image, int quality, unsigned char** out, unsigned long* size,
            ErrorManager* err) {
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&err->pub);
    err->pub.error_exit = onError;
    err->pub.output_message = onMessage;
    if (setjmp(err->jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, size);
    cinfo.image_width = static_cast<JDIMENSION>(image.width());
    cinfo.image_height = static_cast<JDIMENSION>(image.height());
    cinfo.input_components = 4;
    cinfo.in_color_space = kCanvasSpace;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(image.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

struct Decoded {
    int width = 0;
    int height = 0;
    int colours = 0;
    unsigned char palette[3][256];
    unsigned char* pixels = nullptr; // width * height palette indexes, malloc'ed
};

bool decode(const unsigned char* data, unsigned long size, Decoded* out, ErrorManager* err) {
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&err->pub);
    err->pub.error_exit = onError;
    err->pub.output_message = onMessage;
    if (setjmp(err->jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(out->pixels);
        out->pixels = nullptr;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    cinfo.scale_num = 1;
    cinfo.scale_denom = 2;
    cinfo.quantize_colors = TRUE;
    cinfo.desired_number_of_colors = 256;
    cinfo.two_pass_quantize = TRUE;
    cinfo.dither_mode = JDITHER_NONE;
    cinfo.do_fancy_upsampling = FALSE;
    cinfo.do_block_smoothing = FALSE;
    jpeg_start_decompress(&cinfo);
    out->width = static_cast<int>(cinfo.output_width);
    out->height = static_cast<int>(cinfo.output_height);
    out->colours = cinfo.actual_number_of_colors;
    const int components = cinfo.out_color_components;
    for (int i = 0; i < out->colours; ++i)
        for (int c = 0; c < 3; ++c)
            out->palette[c][i] = cinfo.colormap[components == 3 ? c : 0][i];
    out->pixels = static_cast<unsigned char*>(
        std::malloc(static_cast<size_t>(out->width) * static_cast<size_t>(out->height)));
    if (!out->pixels) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out->pixels +
                       static_cast<size_t>(cinfo.output_scanline) * static_cast<size_t>(out->width);
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

QByteArray EncodeTicketJpeg(const QImage& canvas, int quality) {
    const QImage image = canvas.format() == QImage::Format_RGB32
                             ? canvas
                             : canvas.convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        fail("empty canvas");
    ErrorManager err{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = encode(image, quality, &buffer, &size, &err);
    QByteArray bytes;
    if (ok)
        bytes = QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    if (!ok)
        fail(err.message);
    return bytes;
}

QImage DecodeTicketJpegHalf(const QByteArray& jpeg) {
    ErrorManager err{};
    Decoded d;
    if (!decode(reinterpret_cast<const unsigned char*>(jpeg.constData()),
                static_cast<unsigned long>(jpeg.size()), &d, &err))
        fail(err.message[0] ? err.message : "out of memory");
    QImage image(d.width, d.height, QImage::Format_Indexed8);
    QList<QRgb> colours;
    colours.reserve(d.colours);
    for (int i = 0; i < d.colours; ++i)
        colours.append(qRgb(d.palette[0][i], d.palette[1][i], d.palette[2][i]));
    image.setColorTable(colours);
    for (int y = 0; y < d.height; ++y)
        std::memcpy(image.scanLine(y),
                    d.pixels + static_cast<size_t>(y) * static_cast<size_t>(d.width),
                    static_cast<size_t>(d.width));
    std::free(d.pixels);
    return image;
}

QImage ReduceTicket(const QImage& canvas) {
    return DecodeTicketJpegHalf(EncodeTicketJpeg(canvas, 50));
}

} // namespace dm
