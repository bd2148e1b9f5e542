#include "app/profile.h"

#include <QFile>
#include <optional>
#include <vector>

#include "tally/safefile.h"

namespace ballwick {

ProfileWriteError::ProfileWriteError(const QString &path, const QString &reason)
    : std::runtime_error((reason.isEmpty() ? QStringLiteral("Unable to write to %1").arg(path)
                                           : QStringLiteral("Unable to write to %1: %2").arg(path, reason))
                             .toStdString()),
      m_path(path)
{
}

namespace profile {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray trimBlanks(const QByteArray &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

bool sameName(const QByteArray &fileName, const QString &wanted)
{
    return QString::fromUtf8(fileName).compare(wanted, Qt::CaseInsensitive) == 0;
}

// One line of the file: its text without the line end, and the line end itself
// ("\n", "\r\n" or nothing for a last line without one).
struct Line
{
    QByteArray text;
    QByteArray end;
};

// A byte-order mark in front of the first line, as some editors save one.
const QByteArray utf8Bom("\xEF\xBB\xBF");

std::vector<Line> splitLines(const QByteArray &data)
{
    std::vector<Line> lines;
    qsizetype pos = data.startsWith(utf8Bom) ? utf8Bom.size() : 0;
    while (pos < data.size()) {
        const qsizetype nl = data.indexOf('\n', pos);
        if (nl < 0) {
            lines.push_back({data.mid(pos), {}});
            break;
        }
        qsizetype textEnd = nl;
        if (textEnd > pos && data[textEnd - 1] == '\r')
            --textEnd;
        lines.push_back({data.mid(pos, textEnd - pos), data.mid(textEnd, nl + 1 - textEnd)});
        pos = nl + 1;
    }
    return lines;
}

// The section name of a header line "[name]", or nothing for any other line.
std::optional<QByteArray> sectionOf(const Line &line)
{
    const QByteArray t = trimBlanks(line.text);
    if (!t.startsWith('['))
        return std::nullopt;
    qsizetype close = t.indexOf(']');
    if (close < 0)
        close = t.size();
    return trimBlanks(t.mid(1, close - 1));
}

// The key of a "key=value" line, or nothing for headers, comments, blank lines
// and lines without an equals sign.
std::optional<QByteArray> keyOf(const Line &line)
{
    const QByteArray t = trimBlanks(line.text);
    if (t.isEmpty() || t.startsWith('[') || t.startsWith(';'))
        return std::nullopt;
    const qsizetype eq = t.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    return trimBlanks(t.left(eq));
}

// Where a section lies: the index of its header and one past its last line.
struct Span
{
    size_t header;
    size_t end;
};

std::optional<Span> findSection(const std::vector<Line> &lines, const QString &section)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = sectionOf(lines[i]);
        if (!name || !sameName(*name, section))
            continue;
        size_t end = i + 1;
        while (end < lines.size() && !sectionOf(lines[end]))
            ++end;
        return Span{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> findKey(const std::vector<Line> &lines, const Span &span, const QString &key)
{
    for (size_t i = span.header + 1; i < span.end; ++i) {
        const auto name = keyOf(lines[i]);
        if (name && sameName(*name, key))
            return i;
    }
    return std::nullopt;
}

bool isQuote(QChar c)
{
    return c == u'"' || c == u'\'';
}

QString unquote(const QByteArray &raw)
{
    QString v = QString::fromUtf8(trimBlanks(raw));
    if (v.size() >= 2 && isQuote(v.front()) && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

// The text to store for `value` so that readString gives it back unchanged:
// line breaks cannot be stored in a one-line value and become blanks, and a
// value that reading would trim or unquote is stored inside double quotes.
QByteArray storedForm(QString value)
{
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    const bool trimmable = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    const bool quoted = value.size() >= 2 && isQuote(value.front()) && value.back() == value.front();
    if (trimmable || quoted)
        value = u'"' + value + u'"';
    return value.toUtf8();
}

} // namespace

QString readString(const QString &path, const QString &section, const QString &key,
                   const QString &fallback)
{
    // Only a regular file is read, and the open never blocks (a FIFO in the
    // file's place would otherwise hold the program).
    const FileRead file = readregularfile(path);
    if (file.status != FileRead::Ok)
        return fallback;
    const std::vector<Line> lines = splitLines(file.data);
    const auto span = findSection(lines, section);
    if (!span)
        return fallback;
    const auto at = findKey(lines, *span, key);
    if (!at)
        return fallback;
    const QByteArray &text = lines[*at].text;
    return unquote(text.mid(text.indexOf('=') + 1)).left(maxValueLength);
}

void writeString(const QString &path, const QString &section, const QString &key,
                 const QString &value)
{
    writeStrings(path, section, {{key, value}});
}

void writeStrings(const QString &path, const QString &section,
                  const QList<std::pair<QString, QString>> &values)
{
    QByteArray data;
    bool existed = false;
    {
        FileRead file = readregularfile(path);
        switch (file.status) {
        case FileRead::Missing:
            break;
        case FileRead::Ok:
            existed = true;
            data = std::move(file.data);
            break;
        case FileRead::NotRegular:
            throw ProfileWriteError(path, QStringLiteral("it is not a regular file"));
        case FileRead::Failed:
            // A file we cannot read back must not be replaced by our few keys.
            throw ProfileWriteError(path);
        }
    }

    std::vector<Line> lines = splitLines(data);
    qsizetype added = 0;
    for (const auto &[key, value] : values) {
        const QByteArray eol = (!lines.empty() && lines.front().end == "\r\n") ? "\r\n" : "\n";
        const QByteArray stored = storedForm(value);

        if (const auto span = findSection(lines, section)) {
            if (const auto at = findKey(lines, *span, key)) {
                QByteArray &text = lines[*at].text;
                text = text.left(text.indexOf('=') + 1) + stored;
            } else {
                size_t after = span->header;
                for (size_t i = span->header + 1; i < span->end; ++i)
                    if (keyOf(lines[i]))
                        after = i;
                if (lines[after].end.isEmpty())
                    lines[after].end = eol;
                lines.insert(lines.begin() + after + 1, Line{key.toUtf8() + '=' + stored, eol});
            }
        } else {
            if (!lines.empty()) {
                if (lines.back().end.isEmpty())
                    lines.back().end = eol;
                if (!trimBlanks(lines.back().text).isEmpty())
                    lines.push_back({{}, eol});
            }
            lines.push_back({'[' + section.toUtf8() + ']', eol});
            lines.push_back({key.toUtf8() + '=' + stored, eol});
        }
        added += stored.size() + key.size();
    }

    QByteArray out;
    out.reserve(data.size() + added + section.size() + 8 * (values.size() + 1));
    if (data.startsWith(utf8Bom))
        out += utf8Bom;
    for (const Line &l : lines)
        out += l.text + l.end;
    // Nothing to change (the "Quick" mark at every start, a save with the same
    // values): the file is left alone, saving a replacement and a disk sync.
    if (existed && out == data)
        return;

    // Written whole beside the old file and renamed over it, or not at all:
    // a full disk leaves the old settings as they were.
    if (!replacefile(path, out))
        throw ProfileWriteError(path);
}

} // namespace profile
} // namespace ballwick
