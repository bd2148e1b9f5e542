// The link opener with a recording opener in place of the desktop.
#include <gtest/gtest.h>

#include "../common/recordinglinks.h"
#include "online/turl.h"

namespace {

class TURLTest : public ::testing::Test
{
protected:
    RecordingLinks links;
    bool &accept = links.accept;
    QStringList opened() const
    {
        QStringList texts;
        for (const QUrl &u : links.opened)
            texts << u.toString();
        return texts;
    }
};

TEST_F(TURLTest, EmptyAddressOpensNothing)
{
    TURL url(links);
    EXPECT_EQ(url.URLType(), utHttp);
    EXPECT_FALSE(url.OpenURL());
    EXPECT_TRUE(opened().isEmpty());
}

TEST_F(TURLTest, TheTypesPrefixGoesInFrontUnchanged)
{
    const QStringList prefixes{"file://", "ftp://", "gopher://", "http://", "https://",
                               "mailto:", "news:",  "telnet:",   "wais:",   ""};
    for (int t = utFile; t <= utnone; ++t)
        EXPECT_EQ(TURL::prefix(TURLType(t)), prefixes[t]) << t;

    TURL url(links);
    url.setURL("www.example.com/ballwick/");
    EXPECT_TRUE(url.OpenURL());
    url.setURLType(utnone);
    url.setURL("https://scores.example.com/list?x=1#top");
    EXPECT_TRUE(url.OpenURL());
    url.setURLType(utMailto);
    url.setURL("player@example.com");
    EXPECT_TRUE(url.OpenURL());
    EXPECT_EQ(opened(), QStringList({"http://www.example.com/ballwick/", "https://scores.example.com/list?x=1#top",
                                   "mailto:player@example.com"}));
}

TEST_F(TURLTest, LongAddressesPassWholeAndARefusalIsReported)
{
    TURL url(links);
    url.setURLType(utnone);
    const QString longOne = "http://www.example.com/" + QString(300, 'a') + "?q=" + QString(100, 'b');
    url.setURL(longOne);
    EXPECT_TRUE(url.OpenURL());
    ASSERT_EQ(opened().size(), 1);
    EXPECT_EQ(opened()[0], longOne);
    accept = false;
    EXPECT_FALSE(url.OpenURL());
}

} // namespace
