#include "screens/jpegpicture.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>
#include <memory>

#include <jpeglib.h>

namespace ballwick {
namespace {

// libjpeg reports a fatal error through error_exit, whose default ends the
// process. Ours jumps back to the caller instead, which then gives up on the
// picture. Warnings (corrupt data, premature end of data) count as damage
// too: libjpeg would otherwise pad a truncated picture with grey and carry on.
struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void emitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        errorExit(cinfo);
    // Trace messages (level >= 0) are not wanted.
}

void installErrorManager(jpeg_common_struct *cinfo, ErrorManager *err)
{
    cinfo->err = jpeg_std_error(&err->pub);
    err->pub.error_exit = errorExit;
    err->pub.emit_message = emitMessage;
    err->message[0] = '\0';
}

// Far above the one picture the program shows; guards against a header that
// asks for gigabytes.
constexpr unsigned long maxPixels = 64ul * 1024ul * 1024ul;

// Everything that libjpeg touches between setjmp and a possible longjmp lives
// on the heap, so nothing in the jumping frame is left indeterminate and no
// object with a destructor is skipped.
struct Decoder
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    QImage image;
};

struct Encoder
{
    jpeg_compress_struct cinfo;
    ErrorManager err;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    ~Encoder() { std::free(buffer); }
};

} // namespace

QImage decodeJpeg(const QByteArray &data, QString *error)
{
    const auto d = std::make_unique<Decoder>();
    if (data.isEmpty()) {
        if (error)
            *error = QStringLiteral("no picture data");
        return QImage();
    }
    installErrorManager(reinterpret_cast<jpeg_common_struct *>(&d->cinfo), &d->err);
    if (setjmp(d->err.jump)) {
        jpeg_destroy_decompress(&d->cinfo);
        if (error)
            *error = QString::fromLatin1(d->err.message);
        return QImage();
    }
    jpeg_create_decompress(&d->cinfo);
    jpeg_mem_src(&d->cinfo, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d->cinfo, TRUE);
    if (static_cast<unsigned long>(d->cinfo.image_width) * d->cinfo.image_height > maxPixels) {
        std::snprintf(d->err.message, sizeof d->err.message, "picture too large (%ux%u)",
                      d->cinfo.image_width, d->cinfo.image_height);
        jpeg_destroy_decompress(&d->cinfo);
        if (error)
            *error = QString::fromLatin1(d->err.message);
        return QImage();
    }
    d->cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d->cinfo);
    d->image = QImage(static_cast<int>(d->cinfo.output_width),
                      static_cast<int>(d->cinfo.output_height), QImage::Format_RGB888);
    if (d->image.isNull() || d->cinfo.output_components != 3) {
        std::snprintf(d->err.message, sizeof d->err.message, "cannot hold a %ux%u picture",
                      d->cinfo.output_width, d->cinfo.output_height);
        jpeg_destroy_decompress(&d->cinfo);
        if (error)
            *error = QString::fromLatin1(d->err.message);
        return QImage();
    }
    while (d->cinfo.output_scanline < d->cinfo.output_height) {
        JSAMPROW row = d->image.scanLine(static_cast<int>(d->cinfo.output_scanline));
        jpeg_read_scanlines(&d->cinfo, &row, 1);
    }
    jpeg_finish_decompress(&d->cinfo);
    jpeg_destroy_decompress(&d->cinfo);
    if (error)
        error->clear();
    return std::move(d->image);
}

QByteArray encodeJpeg(const QImage &image, int quality, QString *error)
{
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("no picture to encode");
        return QByteArray();
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const auto e = std::make_unique<Encoder>();
    installErrorManager(reinterpret_cast<jpeg_common_struct *>(&e->cinfo), &e->err);
    if (setjmp(e->err.jump)) {
        jpeg_destroy_compress(&e->cinfo);
        if (error)
            *error = QString::fromLatin1(e->err.message);
        return QByteArray();
    }
    jpeg_create_compress(&e->cinfo);
    jpeg_mem_dest(&e->cinfo, &e->buffer, &e->size);
    e->cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    e->cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    e->cinfo.input_components = 3;
    e->cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&e->cinfo);
    jpeg_set_quality(&e->cinfo, quality < 1 ? 1 : quality > 100 ? 100 : quality, TRUE);
    jpeg_start_compress(&e->cinfo, TRUE);
    while (e->cinfo.next_scanline < e->cinfo.image_height) {
        // libjpeg only reads the rows; the cast drops the const its API lacks.
        auto *row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(e->cinfo.next_scanline)));
        jpeg_write_scanlines(&e->cinfo, &row, 1);
    }
    jpeg_finish_compress(&e->cinfo);
    jpeg_destroy_compress(&e->cinfo);
    if (error)
        error->clear();
    return QByteArray(reinterpret_cast<const char *>(e->buffer), static_cast<qsizetype>(e->size));
}

} // namespace ballwick
