#pragma once
// A preset editor sheet over a fresh document, with the real link, online sender and
// curve table, for the page and sheet suites; and mouse helpers that carry modifiers
// and held buttons the way a real pointer does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <memory>

#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "link/OnlineSender.h"
#include "link/UnitLink.h"
#include "measurement/tuning/BankTuning.h"
#include "response/ResponseCurveTable.h"
#include "ui/editor/EditorContext.h"
#include "ui/editor/UnitSheet.h"
#include "ui/page/OutputPage.h"

namespace kv::test {

template <typename T>
T* findIn(QWidget* parent, const QString& name) {
    T* child = parent->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << "no control named " << name.toStdString();
    return child;
}

inline void sendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons held, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, held, modifiers);
    QApplication::sendEvent(target, &event);
}

inline void hover(QWidget* target, QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    sendMouse(target, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton, modifiers);
}

// Press at `from`, move to `to` with the button held, release there.
inline void drag(QWidget* target, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                 Qt::MouseButton button = Qt::LeftButton) {
    hover(target, from, modifiers);
    sendMouse(target, QEvent::MouseButtonPress, from, button, button, modifiers);
    sendMouse(target, QEvent::MouseMove, to, Qt::NoButton, button, modifiers);
    sendMouse(target, QEvent::MouseButtonRelease, to, button, Qt::NoButton, modifiers);
}

inline void turnWheel(QWidget* target, QPoint pos, int delta, Qt::MouseButtons held) {
    QWheelEvent event(QPointF(pos), QPointF(target->mapToGlobal(pos)), QPoint(), QPoint(0, delta), held,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

class SheetFixture : public ::testing::Test {
protected:
    SheetFixture() = default;

    void openSheet() {
        sheet = std::make_unique<CUnitSheet>(context);
        sheet->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        sheet->activateWindow();
        QApplication::setActiveWindow(sheet.get());
    }
    COutputPage* page(int output = 0) const { return sheet->page(output); }
    QWidget* graph(int output = 0) const {
        return page(output)->findChild<QWidget*>(QStringLiteral("responseGraph"));
    }
    // Pixel centre of a band's marker on the page graph.
    QPoint markerCentre(int band, int output = 0) const {
        const RectF r = BandMarkerRect(sheet->geometry(), doc, output, band);
        return {static_cast<int>(r.x + r.width / 2), static_cast<int>(r.y + r.height / 2)};
    }
    // Pixel of a frequency index and gain on the plot, through the shared geometry.
    QPoint plotPixel(int frequency, int gain) const {
        const GraphGeometry& g = sheet->geometry();
        const PointF p = g.toPixel(static_cast<float>(frequency - 12), static_cast<float>(180 - gain));
        return {static_cast<int>(p.x), static_cast<int>(p.y)};
    }

    CKorvaliserDoc doc;
    ResponseCurveTable curves;
    UnitConnection connection{doc, nullptr};
    UnitLink& link = connection.link();
    OnlineSender& sender = connection.sender();
    BankTuning tuning;
    EditorContext context{doc, curves, link, sender, tuning};
    std::unique_ptr<CUnitSheet> sheet;
};

}  // namespace kv::test
