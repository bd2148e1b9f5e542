#include "app/mainsettings.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QValidator>

#include <algorithm>

namespace ballwick {

namespace {

constexpr int kNameLength = 10;

// The ten-character limit binds typing at all times. A longer stored name is
// shown and kept whole: a text longer than ten characters is accepted only
// when it is what is left of that name (characters deleted, none added), so
// the player can shorten it but never type past ten.
class NameLimit : public QValidator
{
public:
    NameLimit(const QString &stored, QObject *parent) : QValidator(parent), m_stored(stored) {}

    State validate(QString &input, int &) const override
    {
        if (input.size() <= kNameLength)
            return Acceptable;
        // Is input the stored name with some characters taken out?
        qsizetype at = 0;
        for (QChar c : input) {
            at = m_stored.indexOf(c, at);
            if (at < 0)
                return Invalid;
            ++at;
        }
        return Acceptable;
    }

private:
    QString m_stored;
};

} // namespace

MainSettings::MainSettings(QString iniFile, QString section, QObject *parent)
    : QObject(parent), m_file(std::move(iniFile)), m_section(std::move(section))
{
    setObjectName(QStringLiteral("settings"));
}

IniSettings MainSettings::load(int defaultWidth, int defaultHeight) const
{
    return readIniSettings(m_file, m_section, defaultWidth, defaultHeight);
}

void MainSettings::markquickseen()
{
    writeQuickSeen(m_file, m_section);
}

void MainSettings::save(const IniSettings &settings)
{
    writeIniSettings(m_file, m_section, settings);
}

void MainSettings::putname(QLineEdit *edit, const QString &stored, const QString &name)
{
    // setText cuts at maxLength: room for the stored name in both boxes, so
    // copying it from one box to the other never cuts it either.
    edit->setMaxLength(std::max<int>(kNameLength, stored.size()));
    edit->setValidator(new NameLimit(stored, edit));
    edit->setText(name);
}

QSize MainSettings::reachablesize(int width, int height)
{
    // A window larger than every screen could not be reached; the first
    // showing centres it.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect desk = screen->availableVirtualGeometry();
        if (desk.isValid())
            return {std::min(width, desk.width()), std::min(height, desk.height())};
    }
    return {width, height};
}

} // namespace ballwick
