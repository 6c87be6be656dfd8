#pragma once
// Clicks one part of a scroll bar (an arrow or the trough beside the thumb) wherever the
// style puts it.

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

namespace kv::test {

inline void clickScrollBar(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    const QRect rect = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
    ASSERT_TRUE(rect.isValid());
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, rect.center());
}

}  // namespace kv::test
