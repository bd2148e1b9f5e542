// The settings file as the program reads it, on untrusted bytes: every key of
// the settings comes back without a crash, a hang or a value longer than the
// reader's limit, whatever the file holds.
#include "app/inisettings.h"
#include "app/profile.h"

#include <QByteArray>
#include "scratchfile.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static ScratchFile scratch("ballwick.ini");
    {
        QFile f(scratch.path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    const ballwick::IniSettings s = ballwick::readIniSettings(scratch.path, QStringLiteral("ballwick"), 780, 491);
    if (s.name.size() > ballwick::profile::maxValueLength)
        std::abort();
    // The integer rules on the same bytes, as a value.
    const QString value = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (const auto n = ballwick::parseIniInteger(value)) {
        // A decimal result reads back from its own decimal text.
        if (ballwick::parseIniInteger(QString::number(*n)) != n)
            std::abort();
    }
    return 0;
}
