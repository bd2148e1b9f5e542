#pragma once
#include <QString>
#include <optional>

namespace ballwick {

// The player's settings as the settings file holds them.
struct IniSettings
{
    int top = 3;
    int left = 3;
    int width = 780;
    int height = 491;
    bool sounds = true;   // "Sounds": off only for exactly "no"
    bool update = true;   // "Update": off only for exactly "false"
    QString name = QStringLiteral("Guest");
    bool quick = true;    // "Quick": the quick instructions show only for exactly "y"
};

// A stored integer: more than two characters beginning with "0x" or "0X" are
// hexadecimal digits after that prefix; otherwise an optional sign and decimal
// digits, or "$" and hexadecimal digits, any number of them (leading zeros do
// not count). Values must fit 32 bits (hexadecimal ones wrap to negative above
// 0x7FFFFFFF). Nothing for anything else.
std::optional<int> parseIniInteger(const QString &text);

// Reads the settings from `section` of the file at `path`; every missing key,
// unreadable file or integer that does not convert gives the default above
// (the width and height defaults are the caller's). Never throws.
IniSettings readIniSettings(const QString &path, const QString &section, int defaultWidth,
                            int defaultHeight);

// Writes "Top", "Left", "Width", "Height", "Name", "Sounds", "Update" in that
// order ("Quick" is written on its own at start). Throws ProfileWriteError at
// the first refused write; the keys after it are not written.
void writeIniSettings(const QString &path, const QString &section, const IniSettings &s);

// Marks the quick instructions as seen: "Quick" = "n". Throws ProfileWriteError.
void writeQuickSeen(const QString &path, const QString &section);

} // namespace ballwick
