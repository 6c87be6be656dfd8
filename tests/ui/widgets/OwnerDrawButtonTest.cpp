#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "ui/widgets/BevelPainter.h"
#include "ui/widgets/OwnerDrawButton.h"

namespace kv {
namespace {

constexpr Colour kRed = MakeRgb(255, 0, 0);
constexpr Colour kAmber = MakeRgb(255, 225, 87);
constexpr Colour kWhite = MakeRgb(255, 255, 255);

QRgb argb(Colour c) { return toQColor(c).rgb(); }

QImage paint(COwnerDrawButton& button) {
    return button.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

struct LookCase {
    const char* name;
    Colour base;
    int unlitFactor;
    COwnerDrawButton::Frame frame;
    bool lit;
    Colour expectedFace;
};

TEST(OwnerDrawButton, FaceAndFrameOfThePagesButtons) {
    const LookCase cases[] = {
        {"mute lit", kRed, 64, COwnerDrawButton::Frame::Bevel, true, kRed},
        {"mute unlit", kRed, 64, COwnerDrawButton::Frame::Bevel, false, MakeRgb(128, 0, 0)},
        {"polarity lit", kAmber, 48, COwnerDrawButton::Frame::Bevel, true, kAmber},
        {"polarity unlit", kAmber, 48, COwnerDrawButton::Frame::Bevel, false, MakeRgb(127, 103, 1)},
        {"row unlit", kWhite, 127, COwnerDrawButton::Frame::Outline, false, MakeRgb(253, 253, 253)},
    };
    for (const LookCase& c : cases) {
        COwnerDrawButton button(QStringLiteral("Mute"));
        button.resize(80, 30);
        button.useShadedLooks(c.base, c.unlitFactor, Qt::white, QColor(168, 168, 168));
        button.setFrame(c.frame);
        button.setLit(c.lit);
        const QImage img = paint(button);
        EXPECT_EQ(img.pixel(5, 5), argb(c.expectedFace)) << c.name;
        if (c.frame == COwnerDrawButton::Frame::Bevel) {
            const auto rings = BevelRingColours(c.expectedFace, true);
            EXPECT_EQ(img.pixel(0, 0), argb(rings[0].topLeft)) << c.name;
            EXPECT_EQ(img.pixel(79, 29), argb(rings[0].bottomRight)) << c.name;
            EXPECT_EQ(img.pixel(1, 10), argb(rings[1].topLeft)) << c.name;
            EXPECT_EQ(img.pixel(78, 10), argb(rings[1].bottomRight)) << c.name;
            EXPECT_EQ(img.pixel(40, 3), argb(rings[3].topLeft)) << c.name;
            EXPECT_EQ(img.pixel(40, 26), argb(rings[3].bottomRight)) << c.name;
        } else {
            EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0)) << c.name;
            EXPECT_EQ(img.pixel(79, 29), qRgb(0, 0, 0)) << c.name;
            EXPECT_EQ(img.pixel(1, 1), argb(c.expectedFace)) << c.name;
        }
    }
}

TEST(OwnerDrawButton, PressedBevelIsSunkenAndAClickIsReported) {
    COwnerDrawButton button(QStringLiteral("On Line"));
    button.resize(80, 30);
    button.useShadedLooks(kRed, 64, Qt::white, QColor(168, 168, 168));
    button.setLit(true);
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(40, 15));
    QImage img = paint(button);
    EXPECT_EQ(img.pixel(1, 10), argb(ShadeColour(86, kRed)));
    EXPECT_EQ(img.pixel(78, 10), argb(ShadeColour(186, kRed)));
    EXPECT_EQ(img.pixel(0, 0), qRgb(64, 64, 64));  // the outer ring never swaps
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_EQ(clicked.count(), 1);
    img = paint(button);
    EXPECT_EQ(img.pixel(1, 10), argb(ShadeColour(186, kRed)));
}

TEST(OwnerDrawButton, TextColourFollowsLitAndEnabledState) {
    COwnerDrawButton button(QStringLiteral("Mute"));
    button.useShadedLooks(kRed, 64, Qt::white, QColor(168, 168, 168));
    EXPECT_EQ(button.textColour(), QColor(168, 168, 168));
    button.setLit(true);
    EXPECT_EQ(button.textColour(), QColor(Qt::white));
    button.setUnlitLook(Qt::white, QColor());  // invalid: the palette's button text
    button.setLit(false);
    EXPECT_EQ(button.textColour(), button.palette().color(QPalette::Active, QPalette::ButtonText));
    button.setEnabled(false);
    EXPECT_EQ(button.textColour(), button.palette().color(QPalette::Disabled, QPalette::ButtonText));
}

TEST(DrawBevelFrame, ReturnsTheInnerRectangleAndSurvivesTinyOnes) {
    QImage img(10, 10, QImage::Format_ARGB32);
    img.fill(Qt::blue);
    QPainter p(&img);
    EXPECT_EQ(DrawBevelFrame(p, QRect(0, 0, 10, 10), kRed, true), QRect(3, 3, 4, 4));
    EXPECT_EQ(DrawBevelFrame(p, QRect(0, 0, 3, 3), kRed, false), QRect(3, 3, -3, -3));
    p.end();
    EXPECT_EQ(img.pixel(0, 0), qRgb(64, 64, 64));
    EXPECT_EQ(img.pixel(9, 9), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(5, 5), qRgb(0, 0, 255));  // inside the frame nothing is painted
    // The 3 x 3 frame's second ring is one pixel: its bottom-right colour, pressed.
    EXPECT_EQ(img.pixel(1, 1), argb(ShadeColour(186, kRed)));
}

}  // namespace
}  // namespace kv
