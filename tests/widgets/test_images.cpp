// Every picture the windows load is embedded under its name at its size, with a
// 2x version beside it; and the generator that draws them writes the same bytes
// on every run, matching what is committed.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

namespace {

struct Expected {
    QString path;
    QSize size;
};

std::vector<Expected> expectedPictures()
{
    std::vector<Expected> list;
    for (int i = 0; i <= 77; ++i)
        list.push_back({QStringLiteral(":/images/balls/%1.png").arg(i), QSize(40, 40)});
    for (int i = 0; i <= 3; ++i)
        list.push_back({QStringLiteral(":/images/mox/%1.png").arg(i), QSize(132, 55)});
    list.push_back({QStringLiteral(":/images/bigball.png"), QSize(130, 117)});
    list.push_back({QStringLiteral(":/images/bigball_mox.png"), QSize(130, 117)});
    list.push_back({QStringLiteral(":/images/card.png"), QSize(209, 241)});
    list.push_back({QStringLiteral(":/images/scoring.png"), QSize(110, 241)});
    for (const char *b : {"start", "sendscore", "highscores", "cancel", "done", "ok", "reset"})
        list.push_back({QStringLiteral(":/images/button_%1.png").arg(QLatin1String(b)), QSize(126, 40)});
    list.push_back({QStringLiteral(":/images/instructions.png"), QSize(530, 433)});
    list.push_back({QStringLiteral(":/images/logo.png"), QSize(100, 100)});
    list.push_back({QStringLiteral(":/images/banner.png"), QSize(230, 22)});
    return list;
}

QImage load(const QString &path)
{
    QImage img(path);
    return img.convertToFormat(QImage::Format_ARGB32);
}

// Relative name -> bytes of every PNG below a folder.
QMap<QString, QByteArray> readFolder(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.insert(QDir(folder).relativeFilePath(path), file.readAll());
    }
    return files;
}

QStringList differing(const QMap<QString, QByteArray> &a, const QMap<QString, QByteArray> &b)
{
    QStringList out;
    for (auto it = a.begin(); it != a.end(); ++it)
        if (b.value(it.key()) != it.value())
            out << it.key();
    for (auto it = b.begin(); it != b.end(); ++it)
        if (!a.contains(it.key()))
            out << it.key();
    return out;
}

} // namespace

TEST(Images, EveryPictureLoadsAtItsSizeWithA2xVersion)
{
    for (const Expected &e : expectedPictures()) {
        SCOPED_TRACE(e.path.toStdString());
        const QImage img(e.path);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.size(), e.size);
        QString hi = e.path;
        hi.replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
        const QImage big(hi);
        ASSERT_FALSE(big.isNull());
        EXPECT_EQ(big.size(), e.size * 2);
    }
    const QImage tile(QStringLiteral(":/images/tile.png"));
    ASSERT_FALSE(tile.isNull());
    EXPECT_GE(tile.width(), 16);
    EXPECT_GE(tile.height(), 16);
    EXPECT_EQ(QImage(QStringLiteral(":/images/icon.png")).size(), QSize(256, 256));
}

TEST(Images, BoardPicturesAreOpaqueAndAllDifferent)
{
    // The board paints its pictures side by side with no background of its own.
    QSet<QByteArray> seen;
    for (int i = 0; i <= 77; ++i) {
        const QImage img = load(QStringLiteral(":/images/balls/%1.png").arg(i));
        ASSERT_FALSE(img.isNull()) << i;
        for (QPoint p : {QPoint(0, 0), QPoint(39, 39), QPoint(20, 20), QPoint(0, 39)})
            EXPECT_EQ(qAlpha(img.pixel(p)), 255) << "picture " << i;
        const QByteArray bytes(reinterpret_cast<const char *>(img.constBits()), int(img.sizeInBytes()));
        EXPECT_FALSE(seen.contains(bytes)) << "picture " << i << " repeats an earlier one";
        seen.insert(bytes);
    }
    for (int i = 0; i <= 3; ++i) {
        const QImage img = load(QStringLiteral(":/images/mox/%1.png").arg(i));
        const QByteArray bytes(reinterpret_cast<const char *>(img.constBits()), int(img.sizeInBytes()));
        EXPECT_FALSE(seen.contains(bytes)) << "thief counter " << i;
        seen.insert(bytes);
    }
}

TEST(Images, CardCellsUnderTheNumberLabelsAreLight)
{
    // Black numbers and red crosses are drawn on these places by the labels.
    const QImage card = load(QStringLiteral(":/images/card.png"));
    const int lefts[] = {15 - 8, 56 - 8, 95 - 8, 136 - 8, 176 - 8};
    const int tops[] = {259 - 212, 298 - 212, 337 - 212, 376 - 212, 415 - 212};
    for (int left : lefts) {
        for (int top : tops) {
            for (QPoint p : {QPoint(left + 3, top + 3), QPoint(left + 30, top + 25), QPoint(left + 17, top + 14)}) {
                const QColor c(card.pixel(p));
                EXPECT_GT(c.lightness(), 170) << p.x() << "," << p.y();
            }
        }
    }
}

TEST(Images, PictureButtonsHaveClearCornersOverTheTiledBackground)
{
    for (const char *b : {"start", "sendscore", "highscores", "cancel", "done", "ok", "reset"}) {
        const QImage img = load(QStringLiteral(":/images/button_%1.png").arg(QLatin1String(b)));
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << b;
        EXPECT_EQ(qAlpha(img.pixel(125, 0)), 0) << b;
        EXPECT_EQ(qAlpha(img.pixel(63, 20)), 255) << b;
    }
}

TEST(Images, GeneratorRedrawsTheCommittedPicturesByteForByte)
{
    // The committed pictures came from an earlier run, so this checks both that
    // the generator is deterministic and that its output was committed.
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess art;
    art.start(QStringLiteral(BALLWICK_ART_TOOL), {out.path()});
    ASSERT_TRUE(art.waitForFinished(120000));
    ASSERT_EQ(art.exitCode(), 0) << art.readAllStandardError().toStdString();

    const auto drawn = readFolder(out.path());
    EXPECT_GE(drawn.size(), 190);
    const auto committed = readFolder(QStringLiteral(BALLWICK_IMAGES_DIR));
    const QStringList stale = differing(drawn, committed);
    EXPECT_TRUE(stale.isEmpty()) << "assets/images differs from what ballwick-art draws (rerun it and commit): "
                                 << stale.join(u' ').toStdString();
}

TEST(Images, EveryCommittedPictureIsEmbeddedByteForByte)
{
    // assets/images/CMakeLists.txt lists the pictures by name: a new one drawn
    // and committed but left off that list would be missing from the program.
    const auto committed = readFolder(QStringLiteral(BALLWICK_IMAGES_DIR));
    ASSERT_FALSE(committed.isEmpty());
    QStringList missing;
    for (auto it = committed.begin(); it != committed.end(); ++it) {
        QFile embedded(QStringLiteral(":/images/") + it.key());
        if (!embedded.open(QIODevice::ReadOnly) || embedded.readAll() != it.value())
            missing << it.key();
    }
    EXPECT_TRUE(missing.isEmpty()) << "not embedded as committed (list them in assets/images/CMakeLists.txt): "
                                   << missing.join(u' ').toStdString();
}
