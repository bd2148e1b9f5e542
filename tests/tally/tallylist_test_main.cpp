// Widget tests of the tally list (offscreen). Started with
// --tally-save-child FILE the binary instead becomes the child of the crash
// test: it saves two different tallies into FILE, one after the other, until
// it is killed.
#include <QApplication>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "tallylisttest.h"
#include "tally/tallystore.h"

namespace {

int savechild(const char *file)
{
    int argc = 1;
    char name[] = "tally-save-child";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    ballwick::Tlzrw1 doit;
    doit.ProcessMessages = [] { QCoreApplication::processEvents(); };
    const ballwick::StringGrid tallies[2] = {tallylisttest::sampletally(1), tallylisttest::sampletally(2)};
    const QString fileName = QString::fromLocal8Bit(file);
    for (long n = 0;; ++n) {
        if (!ballwick::savetallyfile(doit, tallies[n % 2], fileName))
            return 2;
        if (n == 0) {
            std::fputs("ready\n", stdout);
            std::fflush(stdout);
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--tally-save-child") == 0)
        return savechild(argv[2]);
    // No display is needed, also when the test list is taken outside the test script.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
