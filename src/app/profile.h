#pragma once
#include <QList>
#include <QString>
#include <utility>
#include <stdexcept>

namespace ballwick {

// A refused write of a profile file. what() is "Unable to write to <full path>",
// followed by ": " and the reason when one is given.
class ProfileWriteError : public std::runtime_error
{
public:
    explicit ProfileWriteError(const QString &path, const QString &reason = QString());
    QString path() const { return m_path; }

private:
    QString m_path;
};

// Keys in sections of a profile ("ini") file:
//
//   [section]
//   key=value
//
// Section and key names match without regard to case (the first match wins).
// Each call opens the file anew and releases it before returning; nothing is
// cached. Lines are read with LF or CR LF ends.
namespace profile {

// Longest value handed back by readString; longer values are cut there.
inline constexpr int maxValueLength = 2047;

// The value of `key` in `section`, with the blanks around it and one pair of
// enclosing single or double quotes dropped; `fallback` when the file, the
// section or the key is missing, or the file cannot be read or is no regular
// file (it is never opened blocking). Never throws.
QString readString(const QString &path, const QString &section, const QString &key,
                   const QString &fallback);

// Sets `key` in `section` to `value`: the key's line is rewritten in place (its
// name kept as the file spells it), or the key is appended after the last key
// of the section; a missing section is added at the end of the file, a missing
// file is created. Every other line stays byte for byte, and new lines take the
// line end the file already uses. The file is replaced atomically (written
// whole and synced beside it, then renamed), so a full disk or a failed write
// leaves the old file whole. Throws ProfileWriteError when the file cannot be
// read back or written, or is not a regular file.
void writeString(const QString &path, const QString &section, const QString &key,
                 const QString &value);

// Sets several keys of `section` with one replacement of the file, with the
// same result as writeString for each pair in turn.
void writeStrings(const QString &path, const QString &section,
                  const QList<std::pair<QString, QString>> &values);

} // namespace profile
} // namespace ballwick
