// The main window with its settings file: first and second run, the reading
// rules as the window applies them, saves from the menu and at close, and the
// cues it plays.
#include "app/appdirs.h"
#include "app/tmain.h"
#include "mainwindowtest.h"
#include "widgets/dialogs.h"
#include "widgets/tflatpanel.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using ballwick::test::part;

namespace {

class TmainSettings : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString ini = dir.filePath("ballwick.ini");
    ballwick::test::TestServices fakes;
    QStringList &cues = fakes.cues.cues;
    QStringList &errors = fakes.dialogs.errors;
    const ballwick::MainServices &services = fakes.in(dir.path());

    void put(const QByteArray &bytes)
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray contents() const
    {
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // The key names of the file, in order.
    QStringList keys() const
    {
        QStringList out;
        for (const QByteArray &line : contents().split('\n'))
            if (const qsizetype eq = line.indexOf('='); eq > 0)
                out << QString::fromUtf8(line.left(eq));
        return out;
    }
    // A directory that can never be created, even by root: its parent is a file.
    QString uncreatable()
    {
        QFile blocker(dir.filePath("blocker"));
        blocker.open(QIODevice::WriteOnly);
        return dir.filePath("blocker/sub");
    }
};

bool shown(QWidget *w)
{
    return !w->isHidden();
}

} // namespace

TEST_F(TmainSettings, FirstRunShowsTheInstructionsOnceAndTheSecondRunTheStoredName)
{
    {
        Tmain w(services);
        EXPECT_TRUE(shown(part<TFlatPanel>(w, "panel_instructions")));
        EXPECT_EQ(part<TFlatPanel>(w, "panel_instructions")->pos(), QPoint(1, 1));
        EXPECT_TRUE(shown(part<TFlatPanel>(w, "panel_name")));
        EXPECT_EQ(part<QLineEdit>(w, "edit_name")->text(), "Guest");
        EXPECT_EQ(part<QLineEdit>(w, "edit_aname")->text(), "Guest");
        EXPECT_TRUE(part<QAction>(w, "PlaySounds1")->isChecked());
        EXPECT_TRUE(part<QAction>(w, "updatecheck")->isChecked());
        EXPECT_EQ(w.loadedgeometry().left(), 3);
        EXPECT_EQ(w.loadedgeometry().top(), 3);
        EXPECT_EQ(w.loadedgeometry().width(), 780);
        EXPECT_EQ(w.loadedgeometry().height(), 491);
        EXPECT_EQ(cues, QStringList{"entered"});
        EXPECT_EQ(contents(), "[ballwick]\nQuick=n\n");

        part<QLineEdit>(w, "edit_aname")->setText("Alice");
        w.button_namedoneClick();
        EXPECT_EQ(contents(), "[ballwick]\nQuick=n\n"); // the name waits for the next save
        EXPECT_FALSE(w.closed());
        // Closed before any event loop runs, as while the program still starts:
        // the program knows it is to end.
        w.close();
        EXPECT_TRUE(w.closed());
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(keys(), QStringList({"Quick", "Top", "Left", "Width", "Height", "Name", "Sounds", "Update"}));
    EXPECT_TRUE(contents().startsWith("[ballwick]\nQuick=n\nTop="));
    EXPECT_TRUE(contents().endsWith("\nName=Alice\nSounds=yes\nUpdate=true\n"));

    cues.clear();
    Tmain second(services);
    EXPECT_FALSE(shown(part<TFlatPanel>(second, "panel_instructions")));
    EXPECT_TRUE(shown(part<TFlatPanel>(second, "panel_name")));
    EXPECT_EQ(part<QLineEdit>(second, "edit_name")->text(), "Alice");
    EXPECT_EQ(part<QLineEdit>(second, "edit_aname")->text(), "Alice");
    EXPECT_EQ(cues, QStringList{"entered"});
}

TEST_F(TmainSettings, ValuesAreReadExactlyAndOtherLinesSurviveASave)
{
    const QByteArray head = "; Ballwick\n"
                            "[fonts]\n"
                            "Size=8\n"
                            "\n"
                            "[BALLWICK]\n"
                            "sounds=No\n"
                            "# a note\n"
                            "Update=FALSE\n"
                            "Quick=Y\n"
                            "Name=\n"
                            "Width=0x400\n"
                            "Height=tall\n"
                            "Extra=kept\n";
    const QByteArray tail = "\n[later]\nTop=1\n";
    put(head + tail);
    Tmain w(services);
    EXPECT_TRUE(part<QAction>(w, "PlaySounds1")->isChecked());  // "No" is not "no"
    EXPECT_TRUE(part<QAction>(w, "updatecheck")->isChecked());  // "FALSE" is not "false"
    EXPECT_FALSE(shown(part<TFlatPanel>(w, "panel_instructions"))); // "Y" is not "y"
    EXPECT_EQ(part<QLineEdit>(w, "edit_name")->text(), "");       // empty stays empty
    EXPECT_EQ(w.loadedgeometry().width(), 1024);
    // No wider than the screens allow.
    EXPECT_EQ(w.width(), std::min(1024, QGuiApplication::primaryScreen()->availableVirtualGeometry().width()));
    EXPECT_EQ(w.loadedgeometry().height(), 491);           // not a number: the default
    EXPECT_EQ(cues, QStringList{"entered"});
    QByteArray quick = head;
    quick.replace("Quick=Y", "Quick=n");
    EXPECT_EQ(contents(), quick + tail);

    w.saveinifile();
    QByteArray saved = quick;
    saved.replace("sounds=No", "sounds=yes");
    saved.replace("Update=FALSE", "Update=true");
    saved.replace("Width=0x400", "Width=" + QByteArray::number(w.width()));
    saved.replace("Height=tall", "Height=" + QByteArray::number(w.height()));
    saved += "Top=" + QByteArray::number(w.y()) + "\nLeft=" + QByteArray::number(w.x()) + "\n";
    EXPECT_EQ(contents(), saved + tail);
}

TEST_F(TmainSettings, ExactNoAndFalseTurnTheSwitchesOffAndLongNamesStayWhole)
{
    put("[ballwick]\nSounds=no\nUpdate=false\nName=Maximilianus\n");
    Tmain w(services);
    EXPECT_FALSE(part<QAction>(w, "PlaySounds1")->isChecked());
    EXPECT_FALSE(part<QAction>(w, "updatecheck")->isChecked());
    EXPECT_EQ(part<QLineEdit>(w, "edit_name")->text(), "Maximilianus");
    EXPECT_EQ(part<QLineEdit>(w, "edit_aname")->text(), "Maximilianus");
    EXPECT_TRUE(cues.isEmpty()); // sounds off: no "entered"

    // Turning sounds on does not replay it; later cues sound again.
    part<QAction>(w, "PlaySounds1")->trigger();
    EXPECT_TRUE(cues.isEmpty());
    w.playsounds(QStringLiteral("placecard"));
    EXPECT_EQ(cues, QStringList{"placecard"});
}

TEST_F(TmainSettings, TogglingAMenuItemSavesEverySettingAndTwiceRestoresIt)
{
    Tmain w(services);
    part<QLineEdit>(w, "edit_aname")->setText("Bea");
    w.button_namedoneClick();
    w.move(40, 50);

    part<QAction>(w, "PlaySounds1")->trigger();
    EXPECT_FALSE(part<QAction>(w, "PlaySounds1")->isChecked());
    EXPECT_TRUE(contents().contains("\nSounds=no\n"));
    EXPECT_TRUE(contents().contains("\nName=Bea\n"));
    EXPECT_TRUE(contents().contains("\nLeft=40\n"));
    EXPECT_TRUE(contents().contains("\nTop=50\n"));
    part<QAction>(w, "PlaySounds1")->trigger();
    EXPECT_TRUE(contents().contains("\nSounds=yes\n"));

    part<QAction>(w, "updatecheck")->trigger();
    EXPECT_TRUE(contents().contains("\nUpdate=false\n"));
    EXPECT_EQ(keys(), QStringList({"Quick", "Top", "Left", "Width", "Height", "Name", "Sounds", "Update"}));
}

TEST_F(TmainSettings, AnUnwritableFileAtStartIsReportedAndSkipsTheWelcomeCue)
{
    ballwick::test::TestServices blocked;
    Tmain w(blocked.in(uncreatable()));
    ASSERT_EQ(blocked.dialogs.errors.size(), 1);
    EXPECT_EQ(blocked.dialogs.errors.front(), "Unable to write to " + uncreatable() + "/ballwick.ini");
    EXPECT_TRUE(blocked.cues.cues.isEmpty());
    EXPECT_EQ(part<QLineEdit>(w, "edit_name")->text(), "Guest"); // what was read before the write still applies
}

TEST_F(TmainSettings, ClosingWhereTheFileCannotBeWrittenReportsItAndStillEnds)
{
    // The window's folder is replaced by a file once it is open, so the
    // settings cannot be written at the close. The real message box this
    // time: it is read and dismissed like a player would.
    const QString place = dir.filePath("place");
    ASSERT_TRUE(QDir().mkpath(place));
    ballwick::MessageBoxes real;
    ballwick::test::TestServices fakesThere;
    ballwick::MainServices there = fakesThere.in(place);
    there.dialogs = &real;
    {
        QFile f(place + "/ballwick.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[ballwick]\nUpdate=false\nQuick=n\n"); // no update check on showing
    }
    Tmain w(there);
    ASSERT_TRUE(QDir(place).removeRecursively());
    {
        QFile blocker(place);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    const QString target = place + "/ballwick.ini";

    QStringList boxes;
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxes << box->windowTitle() + ": " + box->text();
            box->accept();
        }
    });
    dismiss.start(20);

    w.show();
    bool timedOut = false;
    QTimer::singleShot(0, &w, [&] { w.close(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    guard.start(10000);
    const int rc = QCoreApplication::exec();
    EXPECT_FALSE(timedOut) << "the program did not end";
    EXPECT_EQ(rc, 0);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(boxes, QStringList{"Ballwick: Unable to write to " + target});
}

// Ten characters bind typing in both name boxes at all times; a longer stored
// name is shown, copied and saved whole until the player edits it, and can be
// shortened but never lengthened.
TEST_F(TmainSettings, ALongStoredNameStaysWholeButTypingStopsAtTen)
{
    put("[ballwick]\nName=Maximilianus Rex\n");
    Tmain w(services);
    ASSERT_EQ(part<QLineEdit>(w, "edit_aname")->text(), "Maximilianus Rex");
    part<QLineEdit>(w, "edit_aname")->end(false);
    part<QLineEdit>(w, "edit_aname")->insert("X");
    EXPECT_EQ(part<QLineEdit>(w, "edit_aname")->text(), "Maximilianus Rex");
    w.button_namedoneClick();
    EXPECT_EQ(part<QLineEdit>(w, "edit_name")->text(), "Maximilianus Rex");
    w.saveinifile();
    EXPECT_TRUE(contents().contains("Name=Maximilianus Rex\n")) << contents().toStdString();

    // Shortening is an edit like any other; what is left can only shrink.
    part<QLineEdit>(w, "edit_aname")->backspace();
    EXPECT_EQ(part<QLineEdit>(w, "edit_aname")->text(), "Maximilianus Re");
    part<QLineEdit>(w, "edit_aname")->insert("q");
    EXPECT_EQ(part<QLineEdit>(w, "edit_aname")->text(), "Maximilianus Re");

    // A new name: ten characters and no more, in either box.
    for (QLineEdit *edit : {part<QLineEdit>(w, "edit_aname"), part<QLineEdit>(w, "edit_name")}) {
        edit->selectAll();
        edit->insert("Bob");
        EXPECT_EQ(edit->text(), "Bob");
        for (int i = 0; i < 12; ++i)
            edit->insert("z");
        EXPECT_EQ(edit->text(), "Bobzzzzzzz");
    }
}

// Stored bounds far beyond every screen: the window is no larger than the
// available desktop and opens centred on it; leading zeros read as decimals.
TEST_F(TmainSettings, StoredBoundsAlwaysLeaveTheWindowOnTheScreens)
{
    put("[ballwick]\nQuick=n\nTop=-32767\nLeft=-32767\nWidth=2147483647\nHeight=2147483647\n");
    {
        Tmain w(services);
        w.show();
        const QRect desk = QGuiApplication::primaryScreen()->availableVirtualGeometry();
        EXPECT_LE(w.width(), desk.width());
        EXPECT_LE(w.height(), desk.height());
        // Its top left corner, with the title bar, is on the desktop.
        EXPECT_TRUE(QGuiApplication::primaryScreen()->virtualGeometry().contains(w.geometry().topLeft()))
            << w.geometry().x() << "," << w.geometry().y() << " " << w.width() << "x" << w.height();
    }

    put("[ballwick]\nQuick=n\nWidth=00000000790\n");
    Tmain w(services);
    EXPECT_EQ(w.width(), 790);
}
