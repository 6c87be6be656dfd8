// Renders the import preview for docs/. Not part of the normal run:
// ./test_ui --gtest_also_run_disabled_tests --gtest_filter='ExchangeDocsImage*'

#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include "document/KorvaliserDoc.h"
#include "ui/exchange/FilterImportDialog.h"

namespace kv {
namespace {

const std::string kHeadphoneFile =
    "# Correction for the monitor on the left, as the measurement tool wrote it\n"
    "Preamp: -6.4 dB\n"
    "Filter 1: ON LSC Fc 105 Hz Gain 6.3 dB Q 0.70\n"
    "Filter 2: ON PK Fc 171 Hz Gain -1.9 dB Q 0.52\n"
    "Filter 3: ON PK Fc 1270 Hz Gain 2.4 dB Q 1.85\n"
    "Filter 4: ON PK Fc 3050 Hz Gain -4.2 dB Q 3.10\n"
    "Filter 5: ON PK Fc 5600 Hz Gain 3.1 dB Q 4.50\n"
    "Filter 6: ON HSC Fc 10000 Hz Gain -2.5 dB Q 0.70\n"
    "Filter 7: ON HP1 Fc 25 Hz\n"
    "Filter 8: ON LS 6dB Fc 60 Hz Gain 2.0 dB\n"
    "Filter 9: ON PK Fc 7900 Hz Gain -1.2 dB Q 6.00\n"
    "Filter 10: ON PK Fc 240 Hz Gain 0.8 dB Q 2.00\n"
    "GraphicEQ: 25 0; 40 -2\n";

TEST(ExchangeDocsImage, DISABLED_RenderImportPreview) {
    QDir().mkpath(QStringLiteral(KV_SOURCE_DIR "/docs"));
    CKorvaliserDoc doc;
    doc.setHighPassFrequency(0, 12);              // off, so HP1 can take it
    doc.setBandFrequencyAndGain(0, 7, 130, -30);  // one band in use: seven are free
    FilterImportDialog dialog(doc, kHeadphoneFile, QStringLiteral("ParametricEQ.txt"), 0);
    dialog.resize(940, 660);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(dialog.grab().save(QStringLiteral(KV_SOURCE_DIR "/docs/filter-import.png")));
}

}  // namespace
}  // namespace kv
