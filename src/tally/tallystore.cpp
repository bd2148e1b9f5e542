#include "tally/tallystore.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <fstream>
#include <sstream>

namespace ballwick {

namespace {

QString temporaryTemplate()
{
    // A TMPDIR that does not exist gives an empty temporary path; the system's
    // own temporary directory serves then.
    QString dir = QDir::tempPath();
    if (dir.isEmpty())
        dir = QStringLiteral("/tmp");
    return dir + QStringLiteral("/ballwick-tally-XXXXXX.txt");
}

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
    }
};

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
    QTemporaryFile temp(temporaryTemplate());
    if (!temp.open())
        throw ETallyLoad(ETallyLoad::Cause::Environment,
                         "Unable to create a temporary file " + localName(temp.fileTemplate()) + " : "
                             + temp.errorString().toStdString());
    temp.close();
    const std::string tempName = localName(temp.fileName());

    try {
        doit.UseStream = false;
        doit.InputFile = localName(fileName);
        doit.OutputFile = tempName;
        doit.Decompress();
    } catch (const std::exception &e) {
        throw ETallyLoad(ETallyLoad::Cause::File, e.what());
    }
    try {
        loadgrid(grid, tempName);
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

    QTemporaryFile temp(temporaryTemplate());
    if (!temp.open())
        return fail(QStringLiteral("Unable to create a temporary file: ") + temp.errorString());
    temp.close();
    const std::string tempName = localName(temp.fileName());

    std::ostringstream packed;
    try {
        savegrid(grid, tempName);
        std::ifstream text(tempName, std::ios::binary);
        if (!text)
            return fail(QStringLiteral("Unable to read back the temporary file ") + temp.fileName());
        StreamMode streams(doit, &text, &packed);
        doit.CompressMode = TCompressMode::Fast;
        doit.Compress();
    } catch (const std::exception &e) {
        return fail(QString::fromLocal8Bit(e.what()));
    }

    const std::string bytes = packed.str();
    {
        // The same tally as stored (a start and close without a round): the
        // file stays as it is, without a replacement and a disk sync.
        QFile stored(fileName);
        if (stored.open(QIODevice::ReadOnly) && stored.size() == qint64(bytes.size())
            && stored.readAll() == QByteArray::fromStdString(bytes))
            return true;
    }
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly))
        return fail(out.errorString());
    if (out.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        const QString why = out.errorString();
        out.cancelWriting();
        return fail(why);
    }
    if (!out.commit())
        return fail(out.errorString());
    return true;
}

} // namespace ballwick
