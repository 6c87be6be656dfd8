// The page graph's optional views: the DSP response overlay and the phase view, switched
// from the graph's context menu or with D and P, off by default; the corner warning where
// the unit's response parts from the model's.

#include <QAction>
#include <QMenu>
#include <QRegularExpression>

#include "PageTestSupport.h"
#include "ui/graph/ResponseGraph.h"
#include "ui/graph/overlay/DspWarningLayer.h"

namespace kv::test {
namespace {

class GraphViewsTest : public SheetFixture {
protected:
    void SetUp() override {
        openSheet();
        page()->redrawGraph();
    }
    CResponseGraph& responseGraph() { return *static_cast<CResponseGraph*>(graph()); }
    GraphViews views() { return responseGraph().views(); }
    const QImage& frame() { return responseGraph().workingImage(); }
    QImage levelLabels() { return frame().copy(0, 0, kLabelStripWidth, frame().height()); }
    void chooseFromMenu(const char* name) {
        const std::unique_ptr<QMenu> menu = page()->makeContextMenu();
        auto* item = menu->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(item, nullptr) << name;
        ASSERT_TRUE(item->isCheckable());
        item->trigger();
    }
    bool menuItemChecked(const char* name) {
        const std::unique_ptr<QMenu> menu = page()->makeContextMenu();
        return menu->findChild<QAction*>(QString::fromLatin1(name))->isChecked();
    }
    // The corner warning's text; empty when it says nothing or is not on the graph.
    QString warning() {
        const auto* layer =
            dynamic_cast<const DspWarningLayer*>(responseGraph().layers().find(ViewLayer::kDspWarning));
        return layer != nullptr ? layer->text() : QString();
    }
};

TEST_F(GraphViewsTest, MenuAndKeysSwitchTheViewsAndOffLooksAsBefore) {
    const QImage plain = frame();
    const QImage decibelLabels = levelLabels();
    ASSERT_EQ(views(), GraphViews{});

    chooseFromMenu("showDspResponse");
    EXPECT_EQ(views(), (GraphViews{.dspResponse = true}));
    EXPECT_TRUE(menuItemChecked("showDspResponse"));
    EXPECT_NE(frame(), plain) << "the dashed DSP total is drawn";
    EXPECT_EQ(levelLabels(), decibelLabels);

    QTest::keyClick(graph(), Qt::Key_P);
    EXPECT_EQ(views(), (GraphViews{.dspResponse = true, .phase = true}));
    EXPECT_TRUE(menuItemChecked("showPhase"));
    EXPECT_NE(levelLabels(), decibelLabels) << "the phase view labels degrees";

    // The phase view shows no markers and a drag there changes nothing.
    const int gain = doc.bandGain(0, 0);
    drag(graph(), markerCentre(0), plotPixel(doc.bandFrequency(0, 0), gain + 60));
    EXPECT_EQ(doc.bandGain(0, 0), gain);

    QTest::keyClick(graph(), Qt::Key_D);
    chooseFromMenu("showPhase");
    EXPECT_EQ(views(), GraphViews{});
    EXPECT_FALSE(menuItemChecked("showPhase"));
    EXPECT_EQ(frame(), plain);

    // With both views off the marker drags again.
    drag(graph(), markerCentre(0), plotPixel(doc.bandFrequency(0, 0), gain + 60));
    EXPECT_NE(doc.bandGain(0, 0), gain);
}

// A 48 dB slope travels as a 24 dB one: below the high-pass the unit passes far more
// than the model draws. An output with the default crossovers (at the grid's ends) is
// played as drawn.
TEST_F(GraphViewsTest, TheCornerWarningNamesWhereTheUnitPartsFromTheModel) {
    struct Case {
        const char* what;
        int highPass, slope;
        GraphViews views;
        bool warns;
    };
    const Case cases[] = {
        {"default crossovers, DSP response", 12, 6, {.dspResponse = true}, false},
        {"default crossovers, phase", 12, 6, {.phase = true}, false},
        {"48 dB high-pass, DSP response", 150, 10, {.dspResponse = true}, true},
        {"48 dB high-pass, phase", 150, 10, {.phase = true}, true},
        {"48 dB high-pass, views off", 150, 10, {}, false},
        {"24 dB high-pass, DSP response", 150, 6, {.dspResponse = true}, false},
    };
    doc.setLowPassFrequency(0, 433);
    for (const Case& c : cases) {
        doc.setHighPassFrequency(0, c.highPass);
        doc.setHighPassSlope(0, c.slope);
        responseGraph().setViews(c.views);
        page()->redrawGraph();
        static const QRegularExpression form(QStringLiteral("^DSP differs by (\\d+\\.\\d) dB at \\S+ Hz$"));
        const QRegularExpressionMatch match = form.match(warning());
        EXPECT_EQ(match.hasMatch(), c.warns) << c.what << ": " << warning().toStdString();
        if (c.warns) {
            EXPECT_GT(match.captured(1).toDouble(), 20.0) << c.what;
        }
    }
}

}  // namespace
}  // namespace kv::test
