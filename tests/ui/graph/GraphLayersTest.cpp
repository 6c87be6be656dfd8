// The graph repaints only what changed, over a cached picture of what did not. After any
// change its frame must be the picture a whole redraw paints, pixel for pixel, with or
// without a measurement's curves on show; an overlay joins the layers without disturbing
// that.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <functional>
#include <memory>
#include <utility>

#include "document/KorvaliserDoc.h"
#include "measurement/tuning/BankTuning.h"
#include "response/ResponseCurveTable.h"
#include "response/analog/FilterCurve.h"
#include "ui/graph/PageLayers.h"
#include "ui/graph/ResponseGraph.h"
#include "ui/graph/tuning/TuningOverlay.h"

namespace kv {
namespace {

int differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    }
    return count;
}

void someSettings(CKorvaliserDoc& doc) {
    doc.setHighPassFrequency(0, 60);
    doc.setHighPassSlope(0, 6);
    doc.setLowPassFrequency(0, 300);
    doc.setLowPassSlope(0, 6);
    doc.setBandFrequencyAndGain(0, 0, 110, 45);
    doc.setBandFrequencyAndGain(0, 1, 200, -60);
    doc.setBandQ(0, 1, 72);
    doc.setBandFrequencyAndGain(0, 7, 160, 30);
    doc.setHighPassFrequency(1, 300);
    doc.setHighPassSlope(1, 6);
}

// A measurement from 25 Hz to 16 kHz with a dip, partly off the scale at its top end.
OutputTuning someMeasurement() {
    OutputTuning tuning;
    for (double hz = 25.0; hz <= 16000.0; hz *= 1.05) {
        const double octaves = std::log2(hz / 500.0);
        tuning.measurement.push_back({hz, 80.0 + 3.0 * octaves - 6.0 * std::exp(-octaves * octaves * 3.0)});
    }
    tuning.smoothing = Smoothing::Octave6;
    return tuning;
}

// The picture every layer, the overlays' and the views' too, paints in one pass.
QImage wholePicture(CResponseGraph& graph, const CKorvaliserDoc& doc, ResponseCurveTable& table,
                    const std::shared_ptr<TuningOverlay>& overlay) {
    GraphLayerStack whole;
    AddPageLayers(whole);
    if (overlay) TuningOverlay::addLayers(whole, overlay);
    GraphViewLayers(table).apply(whole, graph.views());
    const GraphImages& images = *graph.sharedImages();
    whole.renderWhole({images.geometry, images, doc, table, graph.pageState(), 0});
    return whole.frame();
}

TEST(GraphLayers, CachedRedrawsPaintWhatWholeRedrawsPaint) {
    for (const auto& [size, measured] : {std::pair{QSize(674, 390), false}, std::pair{QSize(900, 500), false},
                                         std::pair{QSize(674, 390), true}}) {
        CKorvaliserDoc doc;
        someSettings(doc);
        ResponseCurveTable table;
        CResponseGraph graph(doc, table, 0);
        BankTuning tuning;
        std::shared_ptr<TuningOverlay> overlay;
        if (measured) {
            tuning.setTuning(doc.currentPreset(), 0, someMeasurement());
            overlay = TuningOverlay::addTo(graph, tuning);
        }
        graph.resize(size);
        graph.redraw();
        graph.markOutputStale();
        struct Step {
            const char* what;
            std::function<void()> change;
        };
        std::vector<Step> steps = {
            {"first picture", [] {}},
            {"band selected", [&] { graph.setSelectedElement(bandElement(1)); }},
            {"drag step", [&] { doc.setBandFrequencyAndGain(0, 1, 202, -57); }},
            {"small drag step", [&] { doc.setBandFrequencyAndGain(0, 1, 203, -56); }},
            {"jump across the plot", [&] { doc.setBandFrequencyAndGain(0, 1, 380, 120); }},
            {"nothing changed", [] {}},
            {"band hidden", [&] { graph.setBandShown(1, false); }},
            {"hidden band moved", [&] { doc.setBandFrequencyAndGain(0, 1, 150, 0); }},
            {"band shown", [&] { graph.setBandShown(1, true); }},
            {"circle marker selected", [&] { graph.setSelectedElement(bandElement(7)); }},
            {"band at the plot's left edge", [&] { doc.setBandFrequencyAndGain(0, 7, 12, -150); }},
            {"band at the right edge", [&] { doc.setBandFrequencyAndGain(0, 7, 432, 150); }},
            {"high-pass selected", [&] { graph.setSelectedElement(SelectedElement::HighPass); }},
            {"own crossover moved", [&] { doc.setHighPassFrequency(0, 80); }},
            {"other output's crossover moved", [&] { doc.setLowPassFrequency(1, 200); }},
            {"band type changed", [&] { doc.setBandType(0, 2, PeqHighShelf); }},
            {"nothing selected", [&] { graph.setSelectedElement(SelectedElement::None); }},
            {"ten bands",
             [&] {
                 doc.setActiveBandCount(10);
                 graph.markOutputStale();
             }},
            // The optional views join and leave the layers the same way.
            {"DSP response shown", [&] { graph.setViews({.dspResponse = true}); }},
            {"drag step under the DSP response", [&] { doc.setBandFrequencyAndGain(0, 1, 240, 80); }},
            {"48 dB high-pass: the DSP total parts and warns", [&] { doc.setHighPassSlope(0, 10); }},
            {"phase view with the DSP phase", [&] { graph.setViews({.dspResponse = true, .phase = true}); }},
            {"drag step in the phase view", [&] { doc.setBandFrequencyAndGain(0, 0, 60, -90); }},
            {"phase view alone", [&] { graph.setViews({.phase = true}); }},
            {"views off", [&] { graph.setViews({}); }},
        };
        OutputTuning tilted = someMeasurement();
        tilted.target.kind = TargetKind::Tilt;
        tilted.target.tiltDbPerOctave = -1.0;
        if (measured) {
            steps.push_back({"target tilted", [&] { tuning.setTuning(doc.currentPreset(), 0, tilted); }});
            steps.push_back({"drag with a target", [&] { doc.setBandFrequencyAndGain(0, 1, 250, 60); }});
            steps.push_back({"measurement hidden", [&] { overlay->setShown(false); }});
            steps.push_back({"drag while hidden", [&] { doc.setBandFrequencyAndGain(0, 1, 240, 50); }});
            steps.push_back({"measurement shown", [&] { overlay->setShown(true); }});
            steps.push_back({"measurement removed", [&] { tuning.clear(); }});
        }
        for (const Step& step : steps) {
            step.change();
            graph.redraw();
            QImage whole;
            if (measured)
                whole = wholePicture(graph, doc, table, overlay);
            else
                DrawResponseGraph(whole, *graph.sharedImages(), table, doc, 0, graph.pageState(),
                                  graph.views());
            if (graph.workingImage() != whole) {
                FAIL() << step.what << " at " << size.width() << (measured ? " with a measurement" : "")
                       << ": " << differingPixels(graph.workingImage(), whole) << " pixels differ";
            }
        }
    }
}

// Fills a box in one colour and counts its paints; refresh reports what it is told to.
class BoxLayer final : public GraphLayer {
public:
    BoxLayer(Kind kind, QColor colour) : kind_(kind), colour_(colour) {}
    Kind kind() const override { return kind_; }
    QRect refresh(const GraphScene& /*scene*/) override { return std::exchange(changed_, QRect()); }
    void paint(QPainter& painter, const GraphScene& /*scene*/, const PaintArea& /*area*/) const override {
        ++paints;
        painter.fillRect(box_, colour_);
    }
    void moveTo(const QRect& box) {
        changed_ = box_ | box;
        box_ = box;
    }

    mutable int paints = 0;

private:
    Kind kind_;
    QColor colour_;
    QRect box_;
    QRect changed_;
};

TEST(GraphLayers, OverlaysTakeTheirPlaceAndLiveOnesLeaveTheCacheAlone) {
    CKorvaliserDoc doc;
    ResponseCurveTable table;
    CResponseGraph graph(doc, table, 0);
    graph.resize(900, 500);
    graph.redraw();
    GraphLayerStack& layers = graph.layers();
    auto legend = std::make_unique<BoxLayer>(GraphLayer::Kind::Cached, Qt::blue);
    auto curve = std::make_unique<BoxLayer>(GraphLayer::Kind::Live, Qt::magenta);
    BoxLayer& cached = *legend;
    BoxLayer& live = *curve;
    EXPECT_TRUE(layers.insertBelow(PageLayer::kOtherOutputs, "legend", std::move(legend)));
    EXPECT_TRUE(layers.insertBelow(PageLayer::kMarkers, "prediction", std::move(curve)));
    EXPECT_FALSE(layers.insertBelow("no such layer", "lost",
                                    std::make_unique<BoxLayer>(GraphLayer::Kind::Live, Qt::red)));
    const std::vector<std::string_view> order{
        PageLayer::kBackground,   PageLayer::kLevelLabels, PageLayer::kZeroLine, "legend",
        PageLayer::kOtherOutputs, PageLayer::kSelection,   PageLayer::kTotal,    "prediction",
        PageLayer::kMarkers};
    EXPECT_EQ(layers.names(), order);

    cached.moveTo({100, 100, 20, 20});
    graph.redraw();  // a new layer repaints the cached picture
    ASSERT_EQ(cached.paints, 1);
    for (int x = 300; x <= 340; x += 20) {
        live.moveTo({x, 200, 10, 10});
        graph.redraw();
        EXPECT_EQ(graph.workingImage().pixel(x + 5, 205), QColor(Qt::magenta).rgb());
    }
    EXPECT_EQ(graph.workingImage().pixel(305, 205), 0xFF000000)
        << "the old place is repainted from the cache";
    EXPECT_EQ(cached.paints, 1) << "a live layer does not repaint the cached picture";

    cached.moveTo({400, 100, 20, 20});
    graph.redraw();
    EXPECT_EQ(cached.paints, 2);
    EXPECT_EQ(graph.workingImage().pixel(405, 105), QColor(Qt::blue).rgb());
    EXPECT_EQ(graph.workingImage().pixel(105, 105), 0xFF000000);

    // Replacing hands the old layer back and puts the new one in its place.
    auto replaced = layers.replace("prediction", std::make_unique<BoxLayer>(GraphLayer::Kind::Live, Qt::red));
    EXPECT_EQ(replaced.get(), &live);
    EXPECT_EQ(layers.names(), order);
    EXPECT_NE(layers.remove("legend"), nullptr);
    EXPECT_EQ(layers.find("legend"), nullptr);
}

}  // namespace
}  // namespace kv
