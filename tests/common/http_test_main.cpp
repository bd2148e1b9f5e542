// The main() of the test programs that fetch with THTTPGet: the fetch library
// is set up once before the QApplication, as the program does.
#include <QApplication>
#include <gtest/gtest.h>

#include "online/thttpget.h"

int main(int argc, char **argv)
{
    THTTPGet::globalInit();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
