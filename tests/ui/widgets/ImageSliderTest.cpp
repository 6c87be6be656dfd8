#include "ui/widgets/ImageSlider.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeySequence>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace kv {
namespace {

const QColor kHostBackground(10, 200, 30);

// A window with a known background holding the output page's slider and, after it in
// the tab order, an edit.
class ImageSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.setAutoFillBackground(true);
        QPalette palette = host.palette();
        palette.setColor(QPalette::Window, kHostBackground);
        host.setPalette(palette);
        host.resize(120, 300);
        slider = new CImageSlider(&host);
        slider->configureForOutputPage();
        slider->move(10, 10);
        next = new QLineEdit(&host);
        next->setGeometry(60, 10, 50, 20);
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    }

    void press(int y, Qt::MouseButton button) { send(QEvent::MouseButtonPress, y, button, button); }
    void release(int y, Qt::MouseButton button) { send(QEvent::MouseButtonRelease, y, button, Qt::NoButton); }
    void moveHeld(int y, Qt::MouseButton held) { send(QEvent::MouseMove, y, Qt::NoButton, held); }
    void click(int y, Qt::MouseButton button) {
        press(y, button);
        release(y, button);
    }
    void wheel(int delta) {
        const QPointF at(20, 100);
        QWheelEvent event(at, slider->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(slider, &event);
    }
    // The two notifications are posted: they arrive once the event loop has run.
    void deliverPosted() { QCoreApplication::processEvents(); }

    QImage picture() { return slider->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QWidget host;
    CImageSlider* slider = nullptr;
    QLineEdit* next = nullptr;

private:
    void send(QEvent::Type type, int y, Qt::MouseButton button, Qt::MouseButtons held) {
        const QPointF at(31, y);
        QMouseEvent event(type, at, slider->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(slider, &event);
    }
};

TEST_F(ImageSliderTest, TakesTheTrackSizeAndDrawsTheThumbWhereThePositionSays) {
    EXPECT_EQ(slider->size(), QSize(41, 270));
    EXPECT_EQ(slider->thumbCentre(), QPoint(31, 13));
    slider->setPos(420);
    EXPECT_EQ(slider->thumbCentre(), QPoint(31, 257));
    slider->setPos(999);
    EXPECT_EQ(slider->pos(), 420);

    // The thumb's pixels move with it: the top of the groove looks different once the
    // thumb has left it.
    slider->setPos(0);
    const QImage atTop = picture();
    slider->setPos(420);
    const QImage atBottom = picture();
    EXPECT_NE(atTop.pixel(31, 13), atBottom.pixel(31, 13));
    EXPECT_NE(atTop.pixel(31, 257), atBottom.pixel(31, 257));
}

TEST_F(ImageSliderTest, KeyColoursAreNotDrawnSoTheParentShowsThrough) {
    host.repaint();
    const QImage image = host.grab(slider->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(QColor(image.pixel(0, 0)), kHostBackground);  // the track's own key pixel
    int background = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c(image.pixel(x, y));
            ASSERT_NE(c, QColor(255, 0, 255)) << "thumb key drawn at " << x << "," << y;
            ASSERT_NE(c, QColor(0, 128, 128)) << "track key drawn at " << x << "," << y;
            if (c == kHostBackground) ++background;
        }
    }
    EXPECT_GT(background, image.width() * image.height() / 4);
    // A thumb corner is key-coloured in the artwork: the groove shows there, not magenta.
    const QPoint thumbTopLeft(23, slider->thumbCentre().y() - 12);
    EXPECT_NE(QColor(image.pixel(thumbTopLeft)), QColor(255, 0, 255));
}

TEST_F(ImageSliderTest, TheFocusedThumbIsDrawnWhileTheSliderHasTheFocus) {
    slider->setPos(200);
    next->setFocus();
    const QImage unfocused = picture();
    slider->setFocus();
    ASSERT_TRUE(slider->hasFocus());
    const QImage focused = picture();
    const QPoint centre = slider->thumbCentre();
    EXPECT_NE(unfocused.pixel(centre), focused.pixel(centre));
    EXPECT_EQ(unfocused.pixel(5, 5), focused.pixel(5, 5));  // the track is the same
}

TEST_F(ImageSliderTest, FirstPressOnlyFocusesThenPressesBesideTheThumbStep) {
    QSignalSpy moving(slider, &CImageSlider::moving);
    QSignalSpy moved(slider, &CImageSlider::moved);
    next->setFocus();

    click(200, Qt::LeftButton);
    EXPECT_TRUE(slider->hasFocus());
    EXPECT_EQ(slider->pos(), 0);
    deliverPosted();
    EXPECT_EQ(moving.count(), 0);
    ASSERT_EQ(moved.count(), 1);  // the release still reports
    EXPECT_EQ(moved.at(0).at(0).toInt(), 0);

    press(200, Qt::LeftButton);
    EXPECT_EQ(slider->pos(), 10);
    EXPECT_EQ(moving.count(), 0) << "notifications must be posted, not sent";
    deliverPosted();
    ASSERT_EQ(moving.count(), 1);
    EXPECT_EQ(moving.at(0).at(0).toInt(), 10);
    release(200, Qt::LeftButton);

    click(200, Qt::RightButton);
    EXPECT_EQ(slider->pos(), 11);

    // Above the thumb the steps go up.
    slider->setPos(300);
    click(20, Qt::LeftButton);
    EXPECT_EQ(slider->pos(), 290);
    deliverPosted();
    EXPECT_EQ(moved.last().at(0).toInt(), 290);
}

// An owner's edit that, like the gain fields, writes its value and sets the slider back
// when the focus leaves it.
class CommittingEdit : public QLineEdit {
public:
    CommittingEdit(QWidget* parent, CImageSlider* slider, int committed)
        : QLineEdit(parent), slider_(slider), committed_(committed) {}

protected:
    void focusOutEvent(QFocusEvent* event) override {
        slider_->setPos(committed_);
        QLineEdit::focusOutEvent(event);
    }

private:
    CImageSlider* slider_;
    int committed_;
};

TEST_F(ImageSliderTest, APressIsMeasuredAgainstTheThumbWhereTheLeftFieldPutIt) {
    auto* field = new CommittingEdit(&host, slider, 300);
    field->setGeometry(60, 40, 50, 20);
    field->show();
    field->setFocus();
    ASSERT_TRUE(field->hasFocus());
    const int oldCentre = slider->thumbCentre().y();  // position 0
    press(oldCentre, Qt::LeftButton);
    EXPECT_TRUE(slider->hasFocus());
    EXPECT_EQ(slider->pos(), 300);
    EXPECT_FALSE(slider->thumbGrabbed()) << "the thumb has left the pointer";
    // Held beside the thumb, the movement steps towards the pointer from the new place.
    moveHeld(oldCentre + 1, Qt::LeftButton);
    EXPECT_EQ(slider->pos(), 290);
    release(oldCentre + 1, Qt::LeftButton);
}

TEST_F(ImageSliderTest, DraggingTheThumbFollowsThePointerAndStopsQuietlyAtTheEnd) {
    QSignalSpy moving(slider, &CImageSlider::moving);
    QSignalSpy moved(slider, &CImageSlider::moved);
    slider->setFocus();
    slider->setPos(200);
    const int centre = slider->thumbCentre().y();
    press(centre, Qt::LeftButton);
    EXPECT_TRUE(slider->thumbGrabbed());
    EXPECT_EQ(slider->pos(), 200);
    moveHeld(centre + 20, Qt::LeftButton);
    EXPECT_EQ(slider->thumbCentre().y(), centre + 20);
    moveHeld(1000, Qt::LeftButton);
    EXPECT_EQ(slider->pos(), 420);
    deliverPosted();
    const int reports = moving.count();
    EXPECT_EQ(reports, 2);
    moveHeld(1200, Qt::LeftButton);
    moveHeld(1400, Qt::LeftButton);
    deliverPosted();
    EXPECT_EQ(moving.count(), reports) << "no report while the thumb does not move";
    release(1400, Qt::LeftButton);
    EXPECT_FALSE(slider->thumbGrabbed());
    deliverPosted();
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0).at(0).toInt(), 420);
}

TEST_F(ImageSliderTest, KeysMoveReportOnceAndHomeAndEndGoHome) {
    QSignalSpy moved(slider, &CImageSlider::moved);
    slider->setFocus();
    const struct {
        Qt::Key key;
        int start, expected;
    } cases[] = {
        {Qt::Key_PageDown, 415, 420}, {Qt::Key_PageUp, 100, 90}, {Qt::Key_Home, 0, 120},
        {Qt::Key_End, 420, 120},      {Qt::Key_Up, 50, 49},      {Qt::Key_Left, 0, 0},
        {Qt::Key_Down, 50, 51},       {Qt::Key_Right, 50, 51},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QKeySequence(c.key).toString().toStdString());
        slider->setPos(c.start);
        moved.clear();
        QTest::keyClick(slider, c.key);
        EXPECT_EQ(slider->pos(), c.expected);
        deliverPosted();
        ASSERT_EQ(moved.count(), 1);
        EXPECT_EQ(moved.at(0).at(0).toInt(), c.expected);
    }
    moved.clear();
    QTest::keyClick(slider, Qt::Key_A);
    deliverPosted();
    EXPECT_EQ(moved.count(), 0);
    QTest::keyClick(slider, Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus()) << "Tab still moves the focus on";
}

TEST_F(ImageSliderTest, WheelStepsOnePerNotchAndAlwaysReports) {
    QSignalSpy moved(slider, &CImageSlider::moved);
    slider->setPos(100);
    wheel(-360);
    EXPECT_EQ(slider->pos(), 103);
    wheel(60);
    EXPECT_EQ(slider->pos(), 103);
    wheel(120);
    EXPECT_EQ(slider->pos(), 102);
    deliverPosted();
    ASSERT_EQ(moved.count(), 3);
    EXPECT_EQ(moved.at(0).at(0).toInt(), 103);
    EXPECT_EQ(moved.at(1).at(0).toInt(), 103);
}

TEST_F(ImageSliderTest, ADisabledSliderShowsNoThumbAndIgnoresButtonsAndKeys) {
    QSignalSpy moving(slider, &CImageSlider::moving);
    QSignalSpy moved(slider, &CImageSlider::moved);
    slider->setPos(200);
    slider->enableSlider(false);
    const QImage disabled = picture();
    slider->enableSlider(true);
    slider->setThumbBitmaps(QString(), QString(), true);  // the track alone
    const QImage trackOnly = picture();
    EXPECT_EQ(disabled, trackOnly);

    slider->configureForOutputPage();
    slider->setPos(200);
    slider->enableSlider(false);
    next->setFocus();
    click(250, Qt::LeftButton);
    EXPECT_FALSE(slider->hasFocus());
    slider->setFocus();
    click(250, Qt::LeftButton);
    QTest::keyClick(slider, Qt::Key_PageDown);
    QTest::keyClick(slider, Qt::Key_Home);
    deliverPosted();
    EXPECT_EQ(slider->pos(), 200);
    EXPECT_EQ(moving.count(), 0);
    EXPECT_EQ(moved.count(), 0);
}

TEST_F(ImageSliderTest, BitmapsThatCannotBeLoadedChangeNothing) {
    EXPECT_FALSE(slider->setTrackBitmap(QStringLiteral(":/slider/missing.png"), true));
    EXPECT_EQ(slider->size(), QSize(41, 270));
    EXPECT_FALSE(slider->setThumbBitmaps(QStringLiteral(":/slider/page_thumb.png"),
                                         QStringLiteral(":/slider/missing.png"), true, QColor(255, 0, 255)));
    slider->setPos(0);
    EXPECT_EQ(slider->thumbCentre().y(), 13);  // still the 25-pixel thumb's geometry
    EXPECT_TRUE(slider->setThumbBitmaps(QStringLiteral(":/slider/peq_thumb.png"), QString(), true,
                                        QColor(255, 0, 255)));
    EXPECT_EQ(slider->thumbCentre().y(), 1 + 9);  // top margin + half of 19
}

TEST_F(ImageSliderTest, BandDialogConfiguration) {
    CImageSlider band(&host);
    band.configureForBandDialog();
    EXPECT_EQ(band.size(), QSize(41, 197));
    EXPECT_EQ(band.pos(), 100);
    EXPECT_EQ(band.homePos(), 150);
    band.setPos(0);
    EXPECT_EQ(band.thumbCentre().y(), 9);
    band.setPos(450);
    EXPECT_EQ(band.thumbCentre().y(), 187);
}

}  // namespace
}  // namespace kv
