#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "ui/graph/LevelMeters.h"

namespace kv {
namespace {

constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kRed = 0xFFFF4040;
constexpr QRgb kDarkGreen = 0xFF008000;  // green under half-transparent black
constexpr QRgb kDarkRed = 0xFF802020;

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 &&
           std::abs(qBlue(a) - qBlue(b)) <= 2;
}

// Bars of 20 x 246 pixels: 240 pixels of bar, 5 per meter unit, red zone 30 pixels.
class LevelMetersTest : public testing::Test {
protected:
    void SetUp() override {
        meters->bar(0)->resize(20, 246);
        meters->bar(1)->resize(20, 246);
    }
    QRgb pixel(int output, int y) const {
        return meters->shownImage(output).convertToFormat(QImage::Format_ARGB32).pixel(10, y);
    }

    QWidget page;
    CLevelMeters* meters = new CLevelMeters(&page);  // owned by the page
};

TEST_F(LevelMetersTest, DarkenedDepthFollowsTheValue) {
    struct Case {
        int value;
        bool topDark;     // red zone, y = 10
        bool middleDark;  // y = 100, 19.4 units down
        bool bottomDark;  // y = 240
    };
    const Case cases[] = {
        {0, false, false, false}, {1, false, false, false}, {3, true, false, false}, {24, true, true, false},
        {47, true, true, false},  {48, true, true, true},   {100, true, true, true}, {101, true, true, true},
        {150, true, true, true},  {-1, true, true, true},   {-60, true, true, true},
    };
    for (const Case& c : cases) {
        meters->setValues(c.value, 0);
        EXPECT_EQ(near(pixel(0, 10), kDarkRed), c.topDark) << c.value;
        EXPECT_EQ(near(pixel(0, 10), kRed), !c.topDark) << c.value;
        EXPECT_EQ(near(pixel(0, 100), kDarkGreen), c.middleDark) << c.value;
        EXPECT_EQ(near(pixel(0, 240), kDarkGreen), c.bottomDark) << c.value;
        EXPECT_EQ(near(pixel(0, 240), kGreen), !c.bottomDark) << c.value;
        // The other output's meter is untouched.
        EXPECT_EQ(pixel(1, 240), kGreen) << c.value;
        EXPECT_EQ(pixel(1, 10), kRed) << c.value;
    }
}

TEST_F(LevelMetersTest, BackgroundZonesAndDividers) {
    meters->setValues(0, 0);
    const GraphGeometry& g = meters->geometry();
    EXPECT_EQ(pixel(0, 3 + 28), kRed);        // row 32 is a divider
    EXPECT_EQ(pixel(0, 3 + 30), 0xFFFFFF00);  // yellow zone starts
    EXPECT_EQ(pixel(0, 3 + 61), kGreen);
    EXPECT_EQ(pixel(0, static_cast<int>(g.meterDividerY(4))), 0xFF404040);
    EXPECT_EQ(meters->shownImage(0).convertToFormat(QImage::Format_ARGB32).pixel(0, 100), 0xFF000000);
}

TEST_F(LevelMetersTest, BarsShowTheirImageAndKeepTheirSize) {
    meters->setValues(24, 70);
    for (const int output : {0, 1}) {
        QWidget* bar = meters->bar(output);
        EXPECT_EQ(bar->objectName(), QStringLiteral("levelMeter%1").arg(output + 1));
        EXPECT_EQ(bar->minimumSize(), QSize(20, 246));
        EXPECT_EQ(bar->maximumSize(), QSize(20, 246));
        const QImage painted = bar->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        for (const int y : {10, 100, 200, 240}) EXPECT_EQ(painted.pixel(10, y), pixel(output, y)) << y;
    }
    EXPECT_EQ(meters->value(0), 24);
    EXPECT_EQ(meters->value(1), 70);
}

TEST(LevelMeters, SharedImagesAreBuiltOnce) {
    QWidget page;
    auto images = std::make_shared<GraphImages>();
    auto* first = new CLevelMeters(&page, images);
    first->bar(0)->resize(20, 246);
    first->setValues(10, 10);
    auto* second = new CLevelMeters(&page, images);
    second->bar(0)->resize(30, 100);  // ignored: the images already exist
    second->setValues(10, 10);
    EXPECT_EQ(second->bar(0)->size(), QSize(20, 246));
    EXPECT_EQ(second->shownImage(1).size(), QSize(20, 246));
}

}  // namespace
}  // namespace kv
