#include "app/inisettings.h"

#include "app/profile.h"

#include <cctype>
#include <limits>

namespace ballwick {
namespace {

std::optional<int> parseHexDigits(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    // toUInt would also take a sign or a "0x" of its own; only plain digits count.
    for (QChar c : digits)
        if (c.unicode() > 0x7f || !isxdigit(c.toLatin1()))
            return std::nullopt;
    // Leading zeros do not count towards the 32 bits.
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.mid(1);
    if (digits.size() > 8)
        return std::nullopt;
    return static_cast<int>(digits.toUInt(nullptr, 16));
}

} // namespace

std::optional<int> parseIniInteger(const QString &text)
{
    if (text.size() > 2 && (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X"))))
        return parseHexDigits(QStringView(text).mid(2));

    QStringView rest(text);
    bool negative = false;
    if (!rest.isEmpty() && (rest.front() == u'-' || rest.front() == u'+')) {
        negative = rest.front() == u'-';
        rest = rest.mid(1);
    }
    if (!rest.isEmpty() && rest.front() == u'$') {
        const auto v = parseHexDigits(rest.mid(1));
        if (!v)
            return std::nullopt;
        return negative ? static_cast<int>(0u - static_cast<uint>(*v)) : *v;
    }
    if (rest.isEmpty())
        return std::nullopt;
    // Any number of digits, leading zeros included; the value must fit.
    qint64 v = 0;
    for (QChar c : rest) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        v = v * 10 + (c.unicode() - u'0');
        if (v > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        v = -v;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(v);
}

IniSettings readIniSettings(const QString &path, const QString &section, int defaultWidth,
                            int defaultHeight)
{
    const auto text = [&](const char *key, const char *fallback) {
        return profile::readString(path, section, QString::fromLatin1(key), QString::fromLatin1(fallback));
    };
    const auto integer = [&](const char *key, int fallback) {
        return parseIniInteger(text(key, "")).value_or(fallback);
    };

    IniSettings s;
    s.top = integer("Top", 3);
    s.left = integer("Left", 3);
    s.width = integer("Width", defaultWidth);
    s.height = integer("Height", defaultHeight);
    s.sounds = text("Sounds", "yes") != QLatin1String("no");
    s.update = text("Update", "true") != QLatin1String("false");
    s.name = text("Name", "Guest");
    s.quick = text("Quick", "y") == QLatin1String("y");
    return s;
}

void writeIniSettings(const QString &path, const QString &section, const IniSettings &s)
{
    // One replacement of the file for all of them: each replacement is flushed
    // to the disk, and closing the window waits for it.
    profile::writeStrings(path, section,
                          {{QStringLiteral("Top"), QString::number(s.top)},
                           {QStringLiteral("Left"), QString::number(s.left)},
                           {QStringLiteral("Width"), QString::number(s.width)},
                           {QStringLiteral("Height"), QString::number(s.height)},
                           {QStringLiteral("Name"), s.name},
                           {QStringLiteral("Sounds"), s.sounds ? QStringLiteral("yes") : QStringLiteral("no")},
                           {QStringLiteral("Update"), s.update ? QStringLiteral("true") : QStringLiteral("false")}});
}

void writeQuickSeen(const QString &path, const QString &section)
{
    profile::writeString(path, section, QStringLiteral("Quick"), QStringLiteral("n"));
}

} // namespace ballwick
