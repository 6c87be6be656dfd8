#include "ui/graph/ResponseGraph.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>

#include "document/KorvaliserDoc.h"
#include "response/CurveSlots.h"
#include "response/OutputCurves.h"
#include "response/ResponseCurveTable.h"

namespace kv {

namespace {

const QColor kBrightGreen(0x00, 0xFF, 0x00);
const QColor kDarkGreen(0x00, 0x7F, 0x00);
const QColor kLabelYellow(0xFF, 0xFF, 0x00);
const QColor kOtherOutputCyan(0x00, 0xC0, 0xC0, 0x80);
const QColor kShadeGrey(0xC0, 0xC0, 0xC0, 0x80);
const QColor kTotalRed(0xFF, 0x00, 0x00);

// Positions of 1x, 2x ... 9x a decade's frequency in index steps from the decade start.
constexpr std::array<int, 9> kDecadeOffsets{0, 36, 57, 72, 84, 93, 101, 108, 114};
constexpr std::array<int, 4> kDecadeStarts{0, 120, 240, 360};

struct FrequencyLabel {
    const char* text;
    int units;   // multiplies xScale
    int offset;  // pixels
};
constexpr std::array<FrequencyLabel, 10> kFrequencyLabels{{{"20Hz", 26, 30},
                                                           {"50Hz", 72, 36},
                                                           {"100Hz", 110, 36},
                                                           {"200Hz", 146, 36},
                                                           {"500Hz", 192, 36},
                                                           {"1kHz", 230, 36},
                                                           {"2kHz", 266, 36},
                                                           {"5kHz", 312, 36},
                                                           {"10kHz", 350, 36},
                                                           {"20kHz", 386, 36}}};

constexpr double kLabelWidth = 38;
constexpr double kLabelHeight = 17;
// The dB labels are right-aligned in a 38-pixel box on a 36-pixel strip; keeping a
// little trailing space stops the last letter being cut at the strip's edge.
constexpr double kLabelTrailingSpace = 3;

QPen cosmeticPen(const QColor& colour) {
    QPen pen(colour, 0);
    pen.setCosmetic(true);
    return pen;
}

QFont labelFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void drawGrid(QPainter& p, const GraphGeometry& g) {
    QTransform toPixels;
    toPixels.translate(g.plotLeft, g.plotTop);
    toPixels.scale(g.xScale, g.yScale);
    p.setTransform(toPixels);
    p.setPen(cosmeticPen(kDarkGreen));
    for (int y = 30; y <= 330; y += 30) p.drawLine(QPointF(0, y), QPointF(kPlotUnitsWide, y));
    for (const int d : kDecadeStarts) {
        for (const int offset : kDecadeOffsets) {
            const int x = d + offset;
            if (x >= kPlotUnitsWide) continue;
            p.setPen(cosmeticPen(offset == 0 ? kBrightGreen : kDarkGreen));
            p.drawLine(QPointF(x, 0), QPointF(x, kPlotUnitsHigh));
            if (offset == 36 || offset == 84) {
                p.setPen(cosmeticPen(kBrightGreen));
                p.drawLine(QPointF(x, 350), QPointF(x, kPlotUnitsHigh));
            }
        }
    }
    p.setPen(cosmeticPen(kBrightGreen));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0, 0, kPlotUnitsWide, kPlotUnitsHigh));
    p.resetTransform();
}

void prepareText(QPainter& p) {
    p.setFont(labelFont());
    p.setPen(kLabelYellow);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

void drawDbLabels(QImage& strip, const GraphGeometry& g) {
    QPainter p(&strip);
    prepareText(p);
    for (int n = 0; n <= 6; ++n) {
        const QRectF box(0, n * 60 * g.yScale, kLabelWidth - kLabelTrailingSpace, kLabelHeight);
        p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QString::asprintf("%+idB", 18 - 6 * n));
    }
}

void drawFrequencyLabels(QPainter& p, const GraphGeometry& g) {
    prepareText(p);
    for (const FrequencyLabel& label : kFrequencyLabels) {
        const QRectF box(label.units * g.xScale + label.offset, 370 * g.yScale, kLabelWidth, kLabelHeight);
        p.drawText(box, Qt::AlignCenter, QString::fromLatin1(label.text));
    }
}

QPolygonF curvePoints(const GraphGeometry& g, const auto& values) {
    QPolygonF points;
    points.reserve(kGridPoints + 3);
    for (int k = 0; k < kGridPoints; ++k) {
        points.append(QPointF(g.plotLeft + g.xScale * static_cast<float>(k),
                              g.curveRow(static_cast<double>(values[static_cast<std::size_t>(k)]))));
    }
    return points;
}

void drawOtherOutputs(QPainter& p, const GraphGeometry& g, const ResponseCurveTable& table) {
    p.setPen(QPen(kOtherOutputCyan, 2.0));
    for (int k = 0; k < CurveSlots::crossoverPairCount; ++k) {
        const int slot = CurveSlots::crossoverPair(k);
        if (table.isValid(slot)) p.drawPolyline(curvePoints(g, table.slot(slot).values));
    }
}

void shadeSelectedElement(QPainter& p, const GraphGeometry& g, const ResponseCurveTable& table,
                          int selected) {
    const int slot = CurveSlots::ofSelectedElement(selected);
    if (!ResponseCurveTable::isSlot(slot) || table.isAbsent(slot)) return;
    const auto& values = table.slot(slot).values;
    QPolygonF area;
    area.reserve(kGridPoints + 3);
    for (int k = 0; k < kGridPoints; ++k) {
        area.append(QPointF(g.plotLeft + g.xScale * static_cast<float>(k),
                            g.shadeRow(static_cast<double>(values[static_cast<std::size_t>(k)]))));
    }
    const float zero = g.zeroDbRow();
    area.append(QPointF(g.plotLeft + g.xScale * (kGridPoints - 1), zero));
    area.append(QPointF(g.plotLeft, zero));
    area.append(area.front());
    p.setPen(Qt::NoPen);
    p.setBrush(kShadeGrey);
    p.drawPolygon(area, Qt::OddEvenFill);
}

void drawMarkers(QPainter& p, const GraphGeometry& g, const CKorvaliserDoc& doc, int output,
                 OutputPageState& page) {
    p.setRenderHint(QPainter::Antialiasing, false);
    const int bands = std::min(doc.activeBandCount(), kMarkerSlots);
    for (int b = bands - 1; b >= 0; --b) {
        const RectF r = g.markerRect(doc.bandFrequency(output, b), doc.bandGain(output, b));
        page.markers[static_cast<std::size_t>(b)] = r;  // hidden bands too: the hit test follows them
        if (b >= kShownFlagCount || !page.bandShown[static_cast<std::size_t>(b)]) continue;
        const QColor colour = QColor::fromRgba(markerColour(b));
        const QRectF box(r.x, r.y, r.width, r.height);
        const bool filled = page.selectedTarget == b + kTargetFirstBand;
        p.setPen(filled ? QPen(Qt::NoPen) : QPen(colour, 1.0));
        p.setBrush(filled ? QBrush(colour) : QBrush(Qt::NoBrush));
        if (markerIsEllipse(b))
            p.drawEllipse(box);
        else
            p.drawRect(box);
    }
}

}  // namespace

bool BuildGraphBackground(GraphImages& images, int height, int width) {
    GraphGeometry& g = images.geometry;
    if (g.backgroundBuilt) return true;
    if (width <= 44 || height <= 30) return false;

    g.setGraphFrame(width, height);
    images.background = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    images.background.fill(Qt::black);
    images.labelStrip = QImage(kLabelStripWidth, height, QImage::Format_ARGB32_Premultiplied);
    images.labelStrip.fill(Qt::transparent);

    QPainter p(&images.background);
    drawGrid(p, g);
    drawFrequencyLabels(p, g);
    p.end();
    drawDbLabels(images.labelStrip, g);
    g.backgroundBuilt = true;
    return true;
}

void DrawResponseGraph(QImage& working, GraphImages& images, ResponseCurveTable& table,
                       const CKorvaliserDoc& doc, int output, OutputPageState& page) {
    const GraphGeometry& g = images.geometry;
    if (!g.backgroundBuilt) return;
    working = images.background;  // the painter below detaches: one copy of the background

    QPainter p(&working);
    p.drawImage(0, 0, images.labelStrip);
    p.setPen(QPen(kBrightGreen, 1.0));
    p.drawLine(QPointF(g.plotLeft, g.zeroDbRow()), QPointF(g.plotRight(), g.zeroDbRow()));
    p.setClipRect(QRectF(g.plotLeft, 0, kPlotUnitsWide * g.xScale, g.frameHeight));

    RecomputeStaleSlots(table, doc, output);

    p.setRenderHint(QPainter::Antialiasing, true);
    drawOtherOutputs(p, g, table);
    if (page.selectedTarget != kTargetNone) shadeSelectedElement(p, g, table, page.selectedTarget);
    p.setPen(QPen(kTotalRed, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(curvePoints(g, PageTotal(table, doc.activeBandCount())));
    drawMarkers(p, g, doc, output, page);
}

CResponseGraph::CResponseGraph(CKorvaliserDoc& doc, ResponseCurveTable& table, int output, QWidget* parent,
                               std::shared_ptr<GraphImages> images)
    : QWidget(parent),
      doc_(doc),
      table_(table),
      output_(output),
      images_(images ? std::move(images) : std::make_shared<GraphImages>()) {
    setObjectName(QStringLiteral("responseGraph"));
    table_.follow(doc_);  // edits mark their own curves stale, whoever makes them
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (images_->geometry.backgroundBuilt) {
        setFixedSize(images_->geometry.frameWidth, images_->geometry.frameHeight);
    }
}

void CResponseGraph::setBandShown(int band, bool shown) {
    if (band >= 0 && band < kShownFlagCount) page_->bandShown[static_cast<std::size_t>(band)] = shown;
}

void CResponseGraph::setShownBands(std::uint32_t mask) {
    for (int b = 0; b < kShownFlagCount; ++b)
        page_->bandShown[static_cast<std::size_t>(b)] = (mask >> b & 1u) != 0;
}

std::uint32_t CResponseGraph::shownBands() const {
    std::uint32_t mask = 0;
    for (int b = 0; b < kShownFlagCount; ++b) {
        if (page_->bandShown[static_cast<std::size_t>(b)]) mask |= 1u << b;
    }
    return mask;
}

void CResponseGraph::markOutputStale() {
    MarkSlotsForPage(table_, output_, doc_.activeBandCount(), doc_.outputCount());
}

void CResponseGraph::compose() {
    GraphGeometry& g = images_->geometry;
    if (!g.backgroundBuilt) {
        if (!BuildGraphBackground(*images_, height(), width())) return;
    }
    // The images are never rebuilt, so the frame keeps the size they were built for.
    const QSize frame(g.frameWidth, g.frameHeight);
    if (minimumSize() != frame || maximumSize() != frame) setFixedSize(frame);
    DrawResponseGraph(working_, *images_, table_, doc_, output_, *page_);
}

void CResponseGraph::redraw() {
    compose();
    update();
}

int CResponseGraph::hitTest(QPointF point) const {
    std::uint32_t mask = shownBands();
    return HitTestMarker(page_->markers, mask, doc_.activeBandCount(), static_cast<float>(point.x()),
                         static_cast<float>(point.y()));
}

QSize CResponseGraph::sizeHint() const {
    const GraphGeometry& g = images_->geometry;
    return g.backgroundBuilt ? QSize(g.frameWidth, g.frameHeight) : QSize(674, 390);
}

void CResponseGraph::paintEvent(QPaintEvent* /*event*/) {
    if (working_.isNull()) compose();
    QPainter p(this);
    if (working_.isNull())
        p.fillRect(rect(), Qt::black);
    else
        p.drawImage(0, 0, working_);
}

}  // namespace kv
