#include "ui/graph/PageLayers.h"

#include <QPainter>
#include <array>
#include <cstring>
#include <memory>

#include "document/KorvaliserDoc.h"
#include "editing/GraphBandEditor.h"
#include "response/CurveSlots.h"
#include "response/OutputCurves.h"
#include "response/ResponseCurveTable.h"
#include "ui/graph/GraphImages.h"
#include "ui/graph/GraphLayerStack.h"
#include "ui/graph/PlottedCurve.h"
#include "ui/widgets/ColourConversion.h"

namespace kv {

namespace {

const QColor kBrightGreen(0x00, 0xFF, 0x00);
const QColor kDarkGreen(0x00, 0x7F, 0x00);
const QColor kLabelYellow(0xFF, 0xFF, 0x00);
const QColor kOtherOutputCyan(0x00, 0xC0, 0xC0, 0x80);
const QColor kShadeGrey(0xC0, 0xC0, 0xC0, 0x80);
const QColor kTotalRed(0xFF, 0x00, 0x00);
constexpr double kCurvePenWidth = 2.0;

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
    p.setFont(GraphTextFont());
    p.setPen(kLabelYellow);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

void drawFrequencyLabels(QPainter& p, const GraphGeometry& g) {
    prepareText(p);
    for (const FrequencyLabel& label : kFrequencyLabels) {
        const QRectF box(label.units * g.xScale + label.offset, 370 * g.yScale, kLabelWidth, kLabelHeight);
        p.drawText(box, Qt::AlignCenter, QString::fromLatin1(label.text));
    }
}

// Curves and markers stay inside the plot's columns. Set before anti-aliasing is turned on,
// and only ever narrowing the painter's clip.
void clipToPlot(QPainter& p, const GraphGeometry& g) {
    p.setClipRect(QRectF(g.plotLeft, 0, kPlotUnitsWide * g.xScale, g.frameHeight), Qt::IntersectClip);
}

// The grid's points of a curve: x from the grid index, y from the value through `row`.
template <typename Values, typename Row>
QPolygonF gridPoints(const GraphGeometry& g, const Values& values, Row row) {
    QPolygonF points;
    points.reserve(kGridPoints + 3);
    for (int k = 0; k < kGridPoints; ++k) {
        points.append(QPointF(g.plotLeft + g.xScale * static_cast<float>(k),
                              row(static_cast<double>(values[static_cast<std::size_t>(k)]))));
    }
    return points;
}

QPolygonF curvePoints(const GraphGeometry& g, const auto& values) {
    return gridPoints(g, values, [&g](double db) { return g.curveRow(db); });
}

// A cached layer that shows one prebuilt image, repainted when the image is rebuilt.
class ImageLayer final : public GraphLayer {
public:
    explicit ImageLayer(QImage GraphImages::*image, bool opaque) : image_(image), opaque_(opaque) {}
    Kind kind() const override { return Kind::Cached; }
    QRect refresh(const GraphScene& scene) override {
        const qint64 key = (scene.images.*image_).cacheKey();
        if (key == shownKey_) return {};
        shownKey_ = key;
        return PaintArea::wholeFrame();
    }
    void paint(QPainter& p, const GraphScene& scene, const PaintArea& /*area*/) const override {
        // The background is opaque and covers the frame: copied, not blended.
        if (opaque_) p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, scene.images.*image_);
    }

private:
    QImage GraphImages::*image_;
    bool opaque_;
    qint64 shownKey_ = 0;
};

class ZeroLineLayer final : public GraphLayer {
public:
    Kind kind() const override { return Kind::Cached; }
    QRect refresh(const GraphScene& scene) override {
        const GraphGeometry& g = scene.geometry;
        const std::array<float, 3> line{g.plotLeft, g.plotRight(), g.zeroDbRow()};
        if (line == shown_) return {};
        shown_ = line;
        return PaintArea::wholeFrame();
    }
    void paint(QPainter& p, const GraphScene& scene, const PaintArea& /*area*/) const override {
        const GraphGeometry& g = scene.geometry;
        p.setPen(QPen(kBrightGreen, 1.0));
        p.drawLine(QPointF(g.plotLeft, g.zeroDbRow()), QPointF(g.plotRight(), g.zeroDbRow()));
    }

private:
    std::array<float, 3> shown_{};
};

// The crossover pair of every other output, in half-transparent cyan.
class OtherOutputsLayer final : public GraphLayer {
public:
    Kind kind() const override { return Kind::Cached; }
    QRect refresh(const GraphScene& scene) override {
        QRect changed;
        for (int k = 0; k < CurveSlots::crossoverPairCount; ++k) {
            const int slot = CurveSlots::crossoverPair(k);
            QPolygonF points;
            if (scene.table.isValid(slot))
                points = curvePoints(scene.geometry, scene.table.slot(slot).values);
            changed |= pairs_[static_cast<std::size_t>(k)].update(std::move(points));
        }
        return changed;
    }
    void paint(QPainter& p, const GraphScene& scene, const PaintArea& area) const override {
        clipToPlot(p, scene.geometry);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(kOtherOutputCyan, kCurvePenWidth));
        for (const PlottedCurve& pair : pairs_) pair.stroke(p, area);
    }

private:
    std::array<PlottedCurve, CurveSlots::crossoverPairCount> pairs_;
};

// The selected element's curve, shaded down (or up) to 0 dB.
class SelectionLayer final : public GraphLayer {
public:
    Kind kind() const override { return Kind::Live; }
    QRect refresh(const GraphScene& scene) override {
        const GraphGeometry& g = scene.geometry;
        const int slot = CurveSlots::ofSelectedElement(selectionCode(scene.page.selectedElement));
        QPolygonF points;
        if (scene.page.selectedElement != SelectedElement::None && ResponseCurveTable::isSlot(slot) &&
            !scene.table.isAbsent(slot)) {
            points = gridPoints(g, scene.table.slot(slot).values, [&g](double db) { return g.shadeRow(db); });
        }
        return shade_.updateArea(std::move(points), g.zeroDbRow());
    }
    void paint(QPainter& p, const GraphScene& scene, const PaintArea& area) const override {
        if (shade_.isEmpty()) return;
        if (!area.inPieces) {
            fill(p, scene.geometry, area);
            return;
        }
        // The half-transparent fill is laid into a clear scratch frame, then blended on in
        // bands: blending it straight on, the painter hands each few hundred pixel runs
        // to its thread pool. The pixels come out the same: each is blended once, with
        // the same arithmetic.
        const QSize size(scene.geometry.frameWidth, scene.geometry.frameHeight);
        if (scratch_.size() != size) scratch_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
        const QRect rect = area.rect & scratch_.rect();
        const auto bytes = static_cast<std::size_t>(rect.width()) * 4;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            std::memset(scratch_.scanLine(y) + static_cast<std::size_t>(rect.left()) * 4, 0, bytes);
        QPainter scratch(&scratch_);
        scratch.setClipRect(rect);
        scratch.setCompositionMode(QPainter::CompositionMode_Source);
        fill(scratch, scene.geometry, {rect, true});
        scratch.end();
        DrawImageInBands(p, scratch_, rect);
    }

private:
    void fill(QPainter& p, const GraphGeometry& g, const PaintArea& area) const {
        clipToPlot(p, g);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(kShadeGrey);
        shade_.fill(p, area);
    }

    PlottedCurve shade_;
    mutable QImage scratch_;  // the frame's size, clear where it is not being used
};

// This output's whole response: the sum of its element curves, in red.
class TotalLayer final : public GraphLayer {
public:
    Kind kind() const override { return Kind::Live; }
    QRect refresh(const GraphScene& scene) override {
        return total_.update(
            curvePoints(scene.geometry, PageTotal(scene.table, scene.doc.activeBandCount())));
    }
    void paint(QPainter& p, const GraphScene& scene, const PaintArea& area) const override {
        clipToPlot(p, scene.geometry);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(kTotalRed, kCurvePenWidth));
        p.setBrush(Qt::NoBrush);
        total_.stroke(p, area);
    }

private:
    PlottedCurve total_;
};

// A marker per shown band in use: outlined, filled while its band is selected.
class MarkersLayer final : public GraphLayer {
public:
    Kind kind() const override { return Kind::Live; }
    QRect refresh(const GraphScene& scene) override {
        const int bands = std::min(scene.doc.activeBandCount(), kShownFlagCount);
        QRect changed;
        for (int b = 0; b < kShownFlagCount; ++b) {
            Marker now;
            if (b < bands && scene.page.bandShown[static_cast<std::size_t>(b)]) {
                now = {BandMarkerRect(scene.geometry, scene.doc, scene.output, b), true,
                       scene.page.selectedElement == bandElement(b)};
            }
            Marker& shown = markers_[static_cast<std::size_t>(b)];
            if (now == shown) continue;
            changed |= shown.pixels() | now.pixels();
            shown = now;
        }
        return changed;
    }
    void paint(QPainter& p, const GraphScene& scene, const PaintArea& area) const override {
        clipToPlot(p, scene.geometry);
        p.setRenderHint(QPainter::Antialiasing, false);
        for (int b = kShownFlagCount - 1; b >= 0; --b) {
            const Marker& m = markers_[static_cast<std::size_t>(b)];
            if (!m.pixels().intersects(area.rect)) continue;
            const QColor colour = toQColor(markerColour(b));
            const QRectF box(m.rect.x, m.rect.y, m.rect.width, m.rect.height);
            p.setPen(m.filled ? QPen(Qt::NoPen) : QPen(colour, 1.0));
            p.setBrush(m.filled ? QBrush(colour) : QBrush(Qt::NoBrush));
            if (markerIsEllipse(b))
                p.drawEllipse(box);
            else
                p.drawRect(box);
        }
    }

private:
    struct Marker {
        RectF rect;
        bool shown = false;
        bool filled = false;
        bool operator==(const Marker& o) const {
            return shown == o.shown && filled == o.filled && rect.x == o.rect.x && rect.y == o.rect.y &&
                   rect.width == o.rect.width && rect.height == o.rect.height;
        }
        // The outline pen covers a pixel past the rectangle's right and bottom edges.
        QRect pixels() const {
            return shown ? PixelsCovering(rect.x, rect.y, rect.x + rect.width, rect.y + rect.height, 2.0)
                         : QRect();
        }
    };
    std::array<Marker, kShownFlagCount> markers_{};
};

}  // namespace

QFont GraphTextFont(int pixelSize) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QImage LevelLabelStrip(const GraphGeometry& g, const std::array<QString, kLevelLabelCount>& texts) {
    QImage strip(kLabelStripWidth, g.frameHeight, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    prepareText(p);
    for (int n = 0; n < kLevelLabelCount; ++n) {
        const QRectF box(0, n * 60 * g.yScale, kLabelWidth - kLabelTrailingSpace, kLabelHeight);
        p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, texts[static_cast<std::size_t>(n)]);
    }
    return strip;
}

bool BuildGraphBackground(GraphImages& images, int height, int width) {
    GraphGeometry& g = images.geometry;
    if (g.backgroundBuilt) return true;
    if (width <= 44 || height <= 30) return false;

    g.setGraphFrame(width, height);
    images.background = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    images.background.fill(Qt::black);

    QPainter p(&images.background);
    drawGrid(p, g);
    drawFrequencyLabels(p, g);
    p.end();
    std::array<QString, kLevelLabelCount> decibels;
    for (int n = 0; n < kLevelLabelCount; ++n)
        decibels[static_cast<std::size_t>(n)] = QString::asprintf("%+idB", 18 - 6 * n);
    images.labelStrip = LevelLabelStrip(g, decibels);
    g.backgroundBuilt = true;
    return true;
}

void AddPageLayers(GraphLayerStack& stack) {
    stack.add(std::string(PageLayer::kBackground),
              std::make_unique<ImageLayer>(&GraphImages::background, true));
    stack.add(std::string(PageLayer::kLevelLabels),
              std::make_unique<ImageLayer>(&GraphImages::labelStrip, false));
    stack.add(std::string(PageLayer::kZeroLine), std::make_unique<ZeroLineLayer>());
    stack.add(std::string(PageLayer::kOtherOutputs), std::make_unique<OtherOutputsLayer>());
    stack.add(std::string(PageLayer::kSelection), std::make_unique<SelectionLayer>());
    stack.add(std::string(PageLayer::kTotal), std::make_unique<TotalLayer>());
    stack.add(std::string(PageLayer::kMarkers), std::make_unique<MarkersLayer>());
}

}  // namespace kv
