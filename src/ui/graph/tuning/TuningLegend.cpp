#include "ui/graph/tuning/TuningLegend.h"

#include <QPainter>
#include <array>

#include "response/GraphGeometry.h"
#include "ui/graph/PageLayers.h"
#include "ui/graph/tuning/TuningOverlay.h"

namespace kv {

namespace {

struct LegendRow {
    TuningCurveKind curve;
    const char* text;
};
constexpr std::array<LegendRow, 3> kRows{{{TuningCurveKind::Measurement, "Measurement"},
                                          {TuningCurveKind::Target, "Target"},
                                          {TuningCurveKind::Predicted, "Predicted"}}};

constexpr int kMargin = 6;   // from the plot's corner
constexpr int kPadding = 4;  // inside the box
constexpr int kRowHeight = 14;
constexpr int kSampleWidth = 20;  // the short stretch of each pen
constexpr int kTextWidth = 72;

}  // namespace

TuningLegend::TuningLegend(std::shared_ptr<TuningOverlay> overlay) : overlay_(std::move(overlay)) {}

QRect TuningLegend::refresh(const GraphScene& scene) {
    const bool shown = overlay_->curves(scene) != nullptr;
    if (overlay_->generation() == shownGeneration_) return {};
    shownGeneration_ = overlay_->generation();
    const GraphGeometry& g = scene.geometry;
    const QRect box =
        shown ? QRect(static_cast<int>(g.plotLeft) + kMargin, static_cast<int>(g.plotTop) + kMargin,
                      2 * kPadding + kSampleWidth + kPadding + kTextWidth,
                      2 * kPadding + kRowHeight * static_cast<int>(kRows.size()))
              : QRect();
    if (box == box_) return {};
    const QRect changed = box_ | box;
    box_ = box;
    return changed;
}

void TuningLegend::paint(QPainter& painter, const GraphScene& /*scene*/, const PaintArea& area) const {
    if (box_.isEmpty() || !box_.intersects(area.rect)) return;
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(QPen(QColor(0x00, 0x7F, 0x00), 1.0));
    painter.setBrush(QColor(0, 0, 0, 0xC0));
    painter.drawRect(QRectF(box_).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setFont(GraphTextFont(10));
    int top = box_.top() + kPadding;
    for (const LegendRow& row : kRows) {
        const double middle = top + kRowHeight / 2.0;
        const double left = box_.left() + kPadding;
        painter.setPen(TuningCurvePen(row.curve));
        painter.drawLine(QPointF(left, middle), QPointF(left + kSampleWidth, middle));
        painter.setPen(QColor(0xE0, 0xE0, 0xE0));
        painter.drawText(QRectF(left + kSampleWidth + kPadding, top, kTextWidth, kRowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(row.text));
        top += kRowHeight;
    }
}

}  // namespace kv
