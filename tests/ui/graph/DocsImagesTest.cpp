// Renders the pictures of the graph, the meters and the report graph for docs/. Not part
// of the normal run: ./test_ui --gtest_also_run_disabled_tests --gtest_filter='DocsImages*'

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include "document/KorvaliserDoc.h"
#include "response/ResponseCurveTable.h"
#include "response/analog/FilterCurve.h"
#include "ui/graph/LevelMeters.h"
#include "ui/graph/ResponseGraph.h"
#include "ui/report/ReportGraph.h"

namespace kv {
namespace {

void exampleSettings(CKorvaliserDoc& doc) {
    doc.setHighPassFrequency(0, 60);
    doc.setHighPassSlope(0, 6);
    doc.setLowPassFrequency(0, 300);
    doc.setLowPassSlope(0, 6);
    doc.setBandFrequencyAndGain(0, 0, 110, 45);
    doc.setBandFrequencyAndGain(0, 1, 200, -60);
    doc.setBandQ(0, 1, 72);
    doc.setBandType(0, 2, PeqHighShelf);
    doc.setBandFrequencyAndGain(0, 2, 270, -30);
    doc.setBandQ(0, 2, 96);
    doc.setBandFrequencyAndGain(0, 7, 160, 30);
    doc.setHighPassFrequency(1, 300);
    doc.setHighPassSlope(1, 6);
    doc.setLowPassFrequency(1, 433);
}

QString docsPath(const char* name) {
    return QStringLiteral(KV_SOURCE_DIR "/docs/") + QString::fromLatin1(name);
}

TEST(DocsImages, DISABLED_RenderGraphMetersAndReport) {
    QDir().mkpath(QStringLiteral(KV_SOURCE_DIR "/docs"));
    CKorvaliserDoc doc;
    exampleSettings(doc);
    ResponseCurveTable table;

    CResponseGraph graph(doc, table, 0);
    graph.resize(674, 390);
    graph.markOutputStale();
    graph.setSelectedElement(bandElement(1));
    graph.redraw();
    ASSERT_TRUE(graph.grab().save(docsPath("response-graph.png")));

    QWidget page;
    page.resize(80, 300);
    auto* meters = new CLevelMeters(&page);
    meters->bar(0)->setGeometry(10, 10, 26, 270);
    meters->bar(1)->setGeometry(46, 10, 26, 270);
    meters->setValues(20, 8);
    ASSERT_TRUE(page.grab().save(docsPath("level-meters.png")));

    QImage report(660, 480, QImage::Format_ARGB32);
    report.fill(Qt::white);
    QPainter p(&report);
    DrawReportGraph(p, QTransform(0.1, 0, 0, -0.1, 10, 10), doc, table, 0, 0, -4500, 1, 0);
    p.end();
    ASSERT_TRUE(report.save(docsPath("report-graph.png")));
}

}  // namespace
}  // namespace kv
