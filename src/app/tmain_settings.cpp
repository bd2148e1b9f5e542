// The settings file and the sound cues of the main window.
#include "app/tmain.h"

#include <QAction>
#include <QLineEdit>

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

// The ten-character limit binds typing only: a longer stored name is shown whole.
void putname(QLineEdit *edit, const QString &name)
{
    if (name.size() > edit->maxLength())
        edit->setMaxLength(name.size());
    edit->setText(name);
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
    resize(loadedwidth, loadedheight);

    PlaySounds1->setChecked(s.sounds);
    updatecheck->setChecked(s.update);

    putname(edit_name, s.name);
    putname(edit_aname, edit_name->text());

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
