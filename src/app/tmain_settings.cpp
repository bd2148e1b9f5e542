// The settings file and the sound cues of the main window.
#include "app/tmain.h"

#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QValidator>

#include <algorithm>

#include "app/appdirs.h"
#include "app/inisettings.h"
#include "app/sounds.h"
#include "widgets/tflatpanel.h"

struct SettingsParts {
    explicit SettingsParts(Tmain *window)
        : sounds(ballwick::makeAudioOutput(), [window] { return window->PlaySounds1->isChecked(); })
    {
    }
    ballwick::Sounds sounds;
};

void SettingsPartsDeleter::operator()(SettingsParts *parts) const
{
    delete parts;
}

namespace {

QString inifile(const Tmain &w)
{
    return ballwick::configFile(w.appname + QStringLiteral(".ini"));
}

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

void putname(QLineEdit *edit, const QString &stored, const QString &name)
{
    // setText cuts at maxLength: room for the stored name in both boxes, so
    // copying it from one box to the other never cuts it either.
    edit->setMaxLength(std::max<int>(kNameLength, stored.size()));
    edit->setValidator(new NameLimit(stored, edit));
    edit->setText(name);
}

// The stored size, at most the available desktop: a window larger than every
// screen could not be reached; the first showing centres it.
QSize reachablesize(int width, int height)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect desk = screen->availableVirtualGeometry();
        if (desk.isValid())
            return {std::min(width, desk.width()), std::min(height, desk.height())};
    }
    return {width, height};
}

} // namespace

void Tmain::loadinifile()
{
    // The cues are loaded now, so that the first one sounds without delay.
    if (!settingsparts)
        settingsparts.reset(new SettingsParts(this));

    const QString path = inifile(*this);
    const ballwick::IniSettings s = ballwick::readIniSettings(path, appname, defaultwidth, defaultheight);

    loadedtop = s.top;
    loadedleft = s.left;
    loadedwidth = s.width;
    loadedheight = s.height;
    move(loadedleft, loadedtop);
    resize(reachablesize(loadedwidth, loadedheight));

    PlaySounds1->setChecked(s.sounds);
    updatecheck->setChecked(s.update);

    putname(edit_name, s.name, s.name);
    putname(edit_aname, s.name, edit_name->text());

    if (s.quick) {
        panel_instructions->show();
        panel_instructions->raise();
        panel_instructions->move(1, 1);
    }

    // The instructions are shown once: marked as seen at every start.
    ballwick::writeQuickSeen(path, appname);
}

void Tmain::saveinifile()
{
    ballwick::IniSettings s;
    s.top = y();
    s.left = x();
    s.width = width();
    s.height = height();
    s.name = edit_name->text();
    s.sounds = PlaySounds1->isChecked();
    s.update = updatecheck->isChecked();
    ballwick::writeIniSettings(inifile(*this), appname, s);
}

void Tmain::playsounds(const QString &name)
{
    if (!PlaySounds1->isChecked())
        return;
    if (const SoundSink &sink = soundSink()) {
        sink(name);
        return;
    }
    if (!settingsparts)
        settingsparts.reset(new SettingsParts(this));
    settingsparts->sounds.play(name);
}
