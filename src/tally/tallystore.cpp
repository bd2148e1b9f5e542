#include "tally/tallystore.h"

#include <QFile>
#include <QStringDecoder>

#include <cstring>
#include <sstream>
#include <utility>

#include "tally/safefile.h"

namespace ballwick {

namespace {

std::string localName(const QString &fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

// Restores the compressor's file mode whatever happens in between.
struct StreamMode
{
    Tlzrw1 &doit;
    StreamMode(Tlzrw1 &d, std::istream *in, std::ostream *out) : doit(d)
    {
        doit.UseStream = true;
        doit.InputStream = in;
        doit.OutputStream = out;
    }
    ~StreamMode()
    {
        doit.UseStream = false;
        doit.InputStream = nullptr;
        doit.OutputStream = nullptr;
        doit.SizeLimit = -1;
    }
};

// The compressor's messages name the tally file, as in file mode.
std::string filewording(std::string message, const std::string &fileName)
{
    static const std::pair<const char *, const char *> wordings[] = {
        {"Lzrw1 : Error reading from input stream !", "Lzrw1 : Error reading from input file : "},
        {"Lzrw1 decompression : input stream contains no valid header !", " : Lzrw1 decompression : this file has no valid header !"},
    };
    for (const auto &[stream, file] : wordings) {
        if (message.rfind(stream, 0) != 0)
            continue;
        const std::string rest = message.substr(std::strlen(stream));
        if (file[0] == ' ')
            return fileName + file + rest;
        return file + fileName + rest;
    }
    return message;
}

} // namespace

QString celltext(const std::string &cell)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(cell.data(), static_cast<qsizetype>(cell.size())));
    if (utf8.hasError())
        return QString::fromLatin1(cell.data(), static_cast<qsizetype>(cell.size()));
    return text;
}

std::string cellbytes(const QString &text)
{
    return text.toUtf8().toStdString();
}

void loadtallyfile(Tlzrw1 &doit, StringGrid &grid, const QString &fileName)
{
    const std::string name = localName(fileName);
    // A valid container of kMaxTallySize bytes is a little larger than that;
    // whatever lies beyond is never read by the compressor anyway.
    const FileRead file = readregularfile(fileName, 2 * kMaxTallySize);
    switch (file.status) {
    case FileRead::Ok:
        break;
    case FileRead::Missing:
        throw ETallyLoad(ETallyLoad::Cause::File, "Lzrw1 (de)compression : Failed to open input file : " + name);
    case FileRead::NotRegular:
        throw ETallyLoad(ETallyLoad::Cause::Environment,
                         "The tally file " + name + " is not a regular file; it was not read.");
    case FileRead::Failed:
        throw ETallyLoad(ETallyLoad::Cause::Environment,
                         "Lzrw1 (de)compression : Failed to open input file : " + name + " ("
                             + file.error.toStdString() + ")");
    }

    std::istringstream packed(file.data.toStdString());
    std::ostringstream text;
    try {
        StreamMode streams(doit, &packed, &text);
        doit.SizeLimit = kMaxTallySize;
        doit.Decompress();
    } catch (const std::exception &e) {
        throw ETallyLoad(ETallyLoad::Cause::File, filewording(e.what(), name));
    }
    try {
        parsegrid(grid, text.str());
    } catch (const std::exception &e) {
        throw ETallyLoad(ETallyLoad::Cause::File, e.what());
    }
}

bool savetallyfile(Tlzrw1 &doit, const StringGrid &grid, const QString &fileName, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };

    std::istringstream text(gridtext(grid));
    std::ostringstream packed;
    try {
        StreamMode streams(doit, &text, &packed);
        doit.CompressMode = TCompressMode::Fast;
        doit.Compress();
    } catch (const std::exception &e) {
        return fail(QString::fromLocal8Bit(e.what()));
    }

    const QByteArray bytes = QByteArray::fromStdString(packed.str());
    // The same tally as stored (a start and close without a round): the file
    // stays as it is, without a replacement and a disk sync.
    const FileRead stored = readregularfile(fileName, bytes.size() + 1);
    if (stored.status == FileRead::Ok && stored.data == bytes)
        return true;
    return replacefile(fileName, bytes, error);
}

} // namespace ballwick
