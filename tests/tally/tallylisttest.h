#pragma once
// Helpers shared by the tally list window tests.

#include <QByteArray>
#include <QFile>
#include <QLabel>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../common/recordingdialogs.h"
#include "tally/gridfile.h"
#include "tally/tallystore.h"
#include "tally/ttallylist.h"

namespace tallylisttest {

// A full tally table whose cells depend on k, so that two of them differ
// everywhere that matters.
inline ballwick::StringGrid sampletally(int k)
{
    ballwick::StringGrid grid(14, 12);
    grid.setCell(0, 0, "0");
    for (int i = 1; i <= 12; ++i)
        grid.setCell(i, 0, std::to_string(k * 100 + i));
    for (int r = 1; r <= 10; ++r) {
        grid.setCell(0, r, "0" + std::to_string(r) + "/0" + std::to_string(k) + "/2026");
        grid.setCell(1, r, std::to_string(k * 1000 - r));
        grid.setCell(2, r, "player" + std::to_string(k) + "-" + std::to_string(r));
    }
    return grid;
}

// The table a tally file holds, read the way the window reads it.
inline ballwick::StringGrid readtally(const QString &fileName)
{
    ballwick::Tlzrw1 doit;
    ballwick::StringGrid grid;
    ballwick::loadtallyfile(doit, grid, fileName);
    return grid;
}

inline void writetally(const ballwick::StringGrid &grid, const QString &fileName)
{
    ballwick::Tlzrw1 doit;
    ASSERT_TRUE(ballwick::savetallyfile(doit, grid, fileName));
}

inline QByteArray filebytes(const QString &fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every test gets a data directory of its own and a recorder for the window's
// message boxes.
class TallyTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override { window.reset(); }

    // Starts the window (reading the tally file); a running one is ended first
    // (writing it), as a restart of the program does.
    Ttallylist &start()
    {
        window.reset();
        window = std::make_unique<Ttallylist>(nullptr, dialogs, datadir());
        return *window;
    }
    void stop() { window.reset(); }

    QString datadir() const { return dir.path() + "/"; }
    QString tallyfile() const { return datadir() + "ballwicktally.tld"; }
    QLabel *label(const QString &name) const
    {
        QLabel *l = window->findChild<QLabel *>(name);
        EXPECT_NE(l, nullptr) << name.toStdString();
        return l;
    }
    QString caption(const QString &name) const { return label(name)->text(); }
    int value(const QString &name) const { return label(name)->property("value").toInt(); }
    std::string cell(int col, int row) const { return window->scores().cell(col, row); }

    QTemporaryDir dir;
    ballwick::test::RecordingDialogs dialogs;
    std::unique_ptr<Ttallylist> window;
};

} // namespace tallylisttest
