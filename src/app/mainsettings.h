#pragma once
#include <QObject>
#include <QSize>
#include <QString>

#include "app/inisettings.h"

class QLineEdit;

namespace ballwick {

// The main window's settings file: its section in "<appname>.ini" in the
// settings folder. Owned by the window, which puts what is read into its
// widgets and hands over what they hold when it saves.
class MainSettings : public QObject
{
    Q_OBJECT
public:
    MainSettings(QString iniFile, QString section, QObject *parent = nullptr);

    QString fileName() const { return m_file; }

    // Reads the settings (defaults for whatever is missing). Never throws.
    IniSettings load(int defaultWidth, int defaultHeight) const;
    // Marks the quick instructions as seen, so that they show once. Throws
    // std::runtime_error("Unable to write to <path>").
    void markquickseen();
    // Throws std::runtime_error("Unable to write to <path>"); the keys after
    // the failing one are skipped.
    void save(const IniSettings &settings);

    // Puts a name into a name box. Typing never goes past ten characters, but
    // a longer stored name is shown and kept whole (the player may shorten it).
    static void putname(QLineEdit *edit, const QString &stored, const QString &name);
    // The stored size, at most the available desktop.
    static QSize reachablesize(int width, int height);

private:
    QString m_file;
    QString m_section;
};

} // namespace ballwick
