#include "widgets/tselbutton.h"
#include "widget_pixels.h"

#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QColor purple(0x57, 0x26, 0x5B);
const QColor cream(0xE8, 0xE3, 0xC5);
const QColor light(0xF5, 0xF3, 0xE7);

void enter(QWidget *w)
{
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(w, &e);
}

void leave(QWidget *w)
{
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(w, &e);
}

struct ButtonFixture : ::testing::Test {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TSelButton *button = new TSelButton(window.get());

    void SetUp() override
    {
        window->resize(300, 100);
        button->setGeometry(10, 10, 122, 20);
        button->setColor(Qt::darkGreen);
        button->setColorOver(Qt::darkBlue);
        button->setColorDown(Qt::darkRed);
        button->setColorOverCaption(Qt::yellow);
        button->setFontColor(Qt::white);
        button->setColorBorder(Qt::magenta);
        button->setCaption(QStringLiteral("Overview"));
        window->show();
    }
};

} // namespace

TEST(TSelButtonDefaults, SizeColoursAndCaptionFromItsName)
{
    QWidget window;
    auto *b = new TSelButton(&window);
    EXPECT_EQ(b->size(), QSize(105, 20));
    EXPECT_EQ(b->colorOver(), QColor(0x84, 0xB9, 0xA4));
    EXPECT_EQ(b->colorDown(), QColor(0x84, 0xB9, 0xA4));
    EXPECT_EQ(b->colorOverCaption(), QColor(Qt::black));
    EXPECT_EQ(b->colorBorder(), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(b->fontColor(), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(b->borderWidth(), 1);
    EXPECT_EQ(b->alignment(), TSelButton::Left);
    EXPECT_EQ(b->font().pointSize(), 8);
    EXPECT_TRUE(b->isEnabled());

    // Until a caption is given the button shows its name; a given caption stays.
    b->setObjectName(QStringLiteral("SelButton1"));
    EXPECT_EQ(b->caption(), QStringLiteral("SelButton1"));
    b->setCaption(QStringLiteral("Overview"));
    b->setObjectName(QStringLiteral("renamed"));
    EXPECT_EQ(b->caption(), QStringLiteral("Overview"));
    // The properties are reachable by their names (as the windows set them).
    EXPECT_TRUE(b->setProperty("ColorBorder", QColor(Qt::red)));
    EXPECT_EQ(b->colorBorder(), QColor(Qt::red));
}

TEST_F(ButtonFixture, HoverPressAndClickFollowTheStateTable)
{
    QSignalSpy downs(button, &TSelButton::mouseDown);
    QSignalSpy ups(button, &TSelButton::mouseUp);
    QSignalSpy clicks(button, &TSelButton::clicked);

    EXPECT_EQ(button->state(), TSelButton::State::Normal);
    EXPECT_EQ(button->currentFill(), QColor(Qt::darkGreen));
    EXPECT_EQ(button->currentTextColor(), QColor(Qt::white));

    enter(button);
    EXPECT_EQ(button->state(), TSelButton::State::Over);
    EXPECT_EQ(button->currentFill(), QColor(Qt::darkBlue));
    EXPECT_EQ(button->currentTextColor(), QColor(Qt::yellow));

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(downs.count(), 1);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(button->state(), TSelButton::State::Pressed);
    EXPECT_EQ(button->currentFill(), QColor(Qt::darkRed));
    // Pressing keeps the text colour it had.
    EXPECT_EQ(button->currentTextColor(), QColor(Qt::yellow));

    // The click comes before the mouse-up, and the pointer is still over it.
    QList<QString> order;
    QObject::connect(button, &TSelButton::clicked, [&] { order << QStringLiteral("click"); });
    QObject::connect(button, &TSelButton::mouseUp, [&] { order << QStringLiteral("up"); });
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(ups.count(), 1);
    EXPECT_EQ(order, (QList<QString>{QStringLiteral("click"), QStringLiteral("up")}));
    EXPECT_EQ(button->state(), TSelButton::State::Over);

    leave(button);
    EXPECT_EQ(button->state(), TSelButton::State::Normal);
    EXPECT_EQ(button->currentTextColor(), QColor(Qt::white));
}

TEST_F(ButtonFixture, PressMoveOffAndReleaseNeitherClicksNorStaysPressed)
{
    QSignalSpy clicks(button, &TSelButton::clicked);
    QSignalSpy ups(button, &TSelButton::mouseUp);
    enter(button);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    leave(button);
    EXPECT_EQ(button->state(), TSelButton::State::Normal);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(200, 60));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(ups.count(), 1);
    EXPECT_EQ(button->state(), TSelButton::State::Normal);
    EXPECT_EQ(shot(button).pixel(3, 10), QColor(Qt::darkGreen).rgb());

    // Off and back on before releasing: still a click.
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    leave(button);
    enter(button);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(21, 11));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(button->state(), TSelButton::State::Over);
}

TEST_F(ButtonFixture, OnlyTheLeftButtonAndOnlyWhenEnabled)
{
    QSignalSpy downs(button, &TSelButton::mouseDown);
    QSignalSpy clicks(button, &TSelButton::clicked);
    QTest::mouseClick(button, Qt::RightButton, {}, QPoint(20, 10));
    EXPECT_EQ(downs.count(), 0);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(button->state(), TSelButton::State::Normal);

    // A release without a press on the button is no click.
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(clicks.count(), 0);

    button->setEnabled(false);
    enter(button);
    EXPECT_EQ(button->state(), TSelButton::State::Normal);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(downs.count(), 0);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(button->state(), TSelButton::State::Normal);

    // Disabling it while held drops the pressed look.
    button->setEnabled(true);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    button->setEnabled(false);
    EXPECT_EQ(button->state(), TSelButton::State::Normal);
}

TEST_F(ButtonFixture, AClickHandlerMayHideOrDeleteTheButton)
{
    QObject::connect(button, &TSelButton::clicked, button, [this] { button->hide(); });
    enter(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_FALSE(button->isVisible());
    EXPECT_EQ(button->state(), TSelButton::State::Normal);

    auto *other = new TSelButton(window.get());
    other->setGeometry(10, 40, 105, 20);
    other->show();
    QPointer<TSelButton> guard(other);
    QObject::connect(other, &TSelButton::clicked, [other] { delete other; });
    QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(guard.isNull());
}

TEST_F(ButtonFixture, PaintsFillAndNestedFramesInItsColours)
{
    QImage img = shot(button);
    EXPECT_EQ(pixel(img, 0, 0), QColor(Qt::magenta));
    EXPECT_EQ(pixel(img, 121, 19), QColor(Qt::magenta));
    EXPECT_EQ(pixel(img, 1, 1), QColor(Qt::darkGreen));
    EXPECT_EQ(pixel(img, 120, 10), QColor(Qt::darkGreen));

    button->setBorderWidth(2);
    img = shot(button);
    EXPECT_EQ(pixel(img, 1, 1), QColor(Qt::magenta));
    EXPECT_EQ(pixel(img, 120, 18), QColor(Qt::magenta));
    EXPECT_EQ(pixel(img, 2, 2), QColor(Qt::darkGreen));

    enter(button);
    img = shot(button);
    EXPECT_EQ(pixel(img, 3, 10), QColor(Qt::darkBlue));
    EXPECT_TRUE(containsNear(img, QColor(Qt::yellow)));
    EXPECT_FALSE(containsNear(img, QColor(Qt::white)));
}

TEST_F(ButtonFixture, PressingShiftsTheCaptionByItsAlignment)
{
    // The program's buttons: one fill for every state, so only the text moves.
    for (TSelButton *b : {button}) {
        b->setColor(purple);
        b->setColorOver(purple);
        b->setColorDown(purple);
        b->setColorBorder(cream);
        b->setColorOverCaption(cream);
        b->setFontColor(light);
    }
    const QRect inside(2, 2, 118, 16);
    struct Case {
        TSelButton::Alignment align;
        int dx;
    };
    for (Case c : {Case{TSelButton::Left, 1}, Case{TSelButton::Center, 1}, Case{TSelButton::Right, -1}}) {
        SCOPED_TRACE(int(c.align));
        button->setAlignment(c.align);
        leave(button);
        const QRect normal = inkBox(shot(button), inside, purple);
        ASSERT_FALSE(normal.isEmpty());
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
        const QRect pressed = inkBox(shot(button), inside, purple);
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
        EXPECT_EQ(pressed.left() - normal.left(), c.dx);
        EXPECT_EQ(pressed.top() - normal.top(), 1);
        if (c.align == TSelButton::Left) {
            EXPECT_LE(normal.left(), 7);
        } else if (c.align == TSelButton::Right) {
            EXPECT_GE(normal.right(), 112);
        } else {
            EXPECT_LE(std::abs((normal.left() + normal.right()) / 2 - 61), 2);
        }
    }
}
