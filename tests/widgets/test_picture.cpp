// The picture loader.
#include "widgets/picture.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(Picture, EmbeddedPicturesLoadAndAMissingOneGetsAStandIn)
{
    const QString card = QStringLiteral(":/images/card.png");
    const QImage expect = QImage(card).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(expect.isNull());
    EXPECT_EQ(ballwick::loadPicture(card).toImage().convertToFormat(QImage::Format_ARGB32), expect);

    EXPECT_TRUE(ballwick::loadPicture(QStringLiteral(":/images/nothing-here.png")).isNull());
    const QPixmap stand = ballwick::picture(QStringLiteral(":/images/nothing-here.png"), QSize(7, 5), Qt::red);
    EXPECT_EQ(stand.size(), QSize(7, 5));
    EXPECT_EQ(stand.toImage().pixelColor(3, 2), QColor(Qt::red));
}
