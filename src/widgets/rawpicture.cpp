#include "widgets/rawpicture.h"

#include <cstdint>
#include <cstring>

namespace ballwick {
namespace {

constexpr char magic[4] = {'B', 'W', 'P', 'X'};
constexpr std::uint32_t byteOrderMark = 0x01020304;
constexpr qint64 headerSize = 20;

} // namespace

QImage screenForm(const QImage &image)
{
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

QByteArray rawPicture(const QImage &image)
{
    const QImage pixels = screenForm(image);
    const std::uint32_t header[4] = {std::uint32_t(pixels.width()), std::uint32_t(pixels.height()),
                                     std::uint32_t(pixels.format()), byteOrderMark};
    QByteArray out(magic, sizeof magic);
    out.append(reinterpret_cast<const char *>(header), sizeof header);
    for (int y = 0; y < pixels.height(); ++y)
        out.append(reinterpret_cast<const char *>(pixels.constScanLine(y)), qsizetype(pixels.width()) * 4);
    return out;
}

QImage wrapRawPicture(const uchar *data, qint64 size)
{
    if (!data || size < headerSize || std::memcmp(data, magic, sizeof magic) != 0)
        return {};
    std::uint32_t header[4];
    std::memcpy(header, data + sizeof magic, sizeof header);
    const auto [width, height, format, mark] = header;
    if (mark != byteOrderMark || width == 0 || height == 0 || width > 1u << 14 || height > 1u << 14)
        return {};
    if (format != QImage::Format_ARGB32_Premultiplied && format != QImage::Format_RGB32)
        return {};
    if (size - headerSize != qint64(width) * height * 4)
        return {};
    // Read-only over the embedded bytes: drawing reads them where they are.
    return QImage(data + headerSize, int(width), int(height), int(width) * 4, QImage::Format(format));
}

} // namespace ballwick
