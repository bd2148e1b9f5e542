#include "app/sounds.h"

#include <QApplication>
#include <QFile>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTest>
#include <QUrl>
#include <QtEndian>
#include <gtest/gtest.h>
#include <map>

using namespace ballwick;

namespace {

// Records what the cue player asks of the audio service. A started cue counts as
// playing until finish() or stop().
class RecordingOutput final : public SoundOutput
{
public:
    QStringList events;
    QString playing;

    void start(const QString &cue) override
    {
        events << "start " + cue;
        playing = cue;
    }
    void stop(const QString &cue) override
    {
        events << "stop " + cue;
        if (playing == cue)
            playing.clear();
    }
    bool isPlaying(const QString &cue) const override { return playing == cue; }
    void beep() override { events << "beep"; }
    void finish() { playing.clear(); }
};

struct Rig
{
    bool on = true;
    RecordingOutput *out = new RecordingOutput;
    Sounds sounds{std::unique_ptr<SoundOutput>(out), [this] { return on; }};
};

} // namespace

TEST(Sounds, ANewCueCutsOffTheOneStillPlaying)
{
    Rig r;
    r.sounds.play("roundover");
    r.sounds.play("winner");
    r.out->finish();
    r.sounds.play("replace");   // nothing is playing any more: nothing to stop
    r.sounds.play("replace");   // the same cue again starts over
    EXPECT_EQ(r.out->events, QStringList({"start ROUNDOVER", "stop ROUNDOVER", "start WINNER",
                                          "start REPLACE", "stop REPLACE", "start REPLACE"}));
}

TEST(Sounds, TheSwitchIsAskedAtEveryCallAndNeverStopsAPlayingCue)
{
    Rig r;
    r.on = false;
    r.sounds.play("entered");
    EXPECT_TRUE(r.out->events.isEmpty());
    r.on = true;
    r.sounds.play("winner");
    r.on = false;               // unticking lets "winner" finish
    r.sounds.play("invalid");
    EXPECT_EQ(r.out->events, QStringList({"start WINNER"}));
    EXPECT_EQ(r.out->playing, "WINNER");
}

TEST(Sounds, NamesMatchWithoutCaseAndUnknownNamesBeep)
{
    Rig r;
    r.sounds.play("PlaceCard");
    r.sounds.play("applause");  // not a cue: the default sound, which also ends the last cue
    r.sounds.play("");
    EXPECT_EQ(r.out->events, QStringList({"start PLACECARD", "stop PLACECARD", "beep", "beep"}));
}

TEST(Sounds, TheAudioOutputIsSilentAndHarmlessWithoutADevice)
{
    // The test machine may have no sound card: making and using the real output
    // must neither fail nor block.
    Sounds s(makeAudioOutput(), [] { return true; });
    for (const QString &cue : Sounds::cueNames())
        s.play(cue.toLower());
    SUCCEED();
}

TEST(Sounds, TheAudioOutputPlaysEveryCueWhereThereIsADevice)
{
    // With a device each cue plays once loaded, and a stopped cue is quiet;
    // without one nothing ever counts as playing.
    const bool device = !QMediaDevices::defaultAudioOutput().isNull();
    auto output = makeAudioOutput();
    output->start("WINNER");
    if (device) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return output->isPlaying("WINNER"); }, 5000));
        output->stop("WINNER");
    }
    EXPECT_FALSE(output->isPlaying("WINNER"));
    EXPECT_FALSE(output->isPlaying("NOT A CUE"));
}

namespace {

struct WaveInfo
{
    quint16 format = 0, channels = 0, bits = 0, blockAlign = 0;
    quint32 rate = 0, byteRate = 0, dataBytes = 0;
    bool ok = false;
};

// Reads the "fmt " and "data" chunks of a RIFF WAVE file, walking the chunks.
WaveInfo readWave(const QByteArray &b)
{
    WaveInfo w;
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return w;
    if (qFromLittleEndian<quint32>(b.constData() + 4) != quint32(b.size() - 8))
        return w;
    bool haveFmt = false, haveData = false;
    qsizetype pos = 12;
    while (pos + 8 <= b.size()) {
        const QByteArray id = b.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(b.constData() + pos + 4);
        const char *body = b.constData() + pos + 8;
        if (pos + 8 + qsizetype(size) > b.size())
            return w;
        if (id == "fmt " && size >= 16) {
            w.format = qFromLittleEndian<quint16>(body);
            w.channels = qFromLittleEndian<quint16>(body + 2);
            w.rate = qFromLittleEndian<quint32>(body + 4);
            w.byteRate = qFromLittleEndian<quint32>(body + 8);
            w.blockAlign = qFromLittleEndian<quint16>(body + 12);
            w.bits = qFromLittleEndian<quint16>(body + 14);
            haveFmt = true;
        } else if (id == "data") {
            w.dataBytes = size;
            haveData = true;
        }
        pos += 8 + size + (size & 1);
    }
    w.ok = haveFmt && haveData;
    return w;
}

} // namespace

TEST(Sounds, EachEmbeddedCueHasTheStoredFormatAndAboutItsLength)
{
    struct Want
    {
        int bits, channels, rate;
        double seconds;
    };
    const std::map<QString, Want> table{
        {"ENTERED", {8, 1, 11025, 0.79}},   {"TURNNEW", {8, 1, 44100, 0.43}},
        {"REPLACE", {16, 1, 11025, 0.29}},  {"ROUNDOVER", {8, 1, 22050, 0.72}},
        {"INVALID", {16, 2, 11025, 0.80}},  {"PLACECARD", {8, 1, 11025, 0.14}},
        {"WINNER", {8, 1, 22050, 1.06}},
    };
    ASSERT_EQ(Sounds::cueNames().size(), int(table.size()));
    for (const QString &cue : Sounds::cueNames()) {
        SCOPED_TRACE(cue.toStdString());
        ASSERT_TRUE(table.count(cue));
        const Want &want = table.at(cue);
        QFile f(Sounds::resourcePath(cue));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const WaveInfo w = readWave(f.readAll());
        ASSERT_TRUE(w.ok);
        EXPECT_EQ(w.format, 1); // uncompressed PCM
        EXPECT_EQ(w.bits, want.bits);
        EXPECT_EQ(w.channels, want.channels);
        EXPECT_EQ(w.rate, quint32(want.rate));
        EXPECT_EQ(w.blockAlign, want.channels * want.bits / 8);
        EXPECT_EQ(w.byteRate, w.rate * w.blockAlign);
        EXPECT_EQ(w.dataBytes % w.blockAlign, 0u);
        const double seconds = double(w.dataBytes) / w.byteRate;
        EXPECT_NEAR(seconds, want.seconds, want.seconds * 0.15);
    }
}

TEST(Sounds, EachEmbeddedCueLoadsInTheAudioService)
{
    // QSoundEffect decodes a source even without an audio device, so this checks
    // that every stored format is one the player can play.
    for (const QString &cue : Sounds::cueNames()) {
        QSoundEffect effect;
        effect.setSource(QUrl("qrc" + Sounds::resourcePath(cue)));
        (void)QTest::qWaitFor([&] { return effect.status() == QSoundEffect::Ready || effect.status() == QSoundEffect::Error; },
                        5000);
        EXPECT_EQ(effect.status(), QSoundEffect::Ready) << cue.toStdString();
    }
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    makeAudioOutput(); // registers the embedded cues
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
