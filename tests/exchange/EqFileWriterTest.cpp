#include "exchange/EqFileWriter.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "document/KorvaliserDoc.h"
#include "exchange/EqFileParser.h"
#include "exchange/FilterImport.h"

namespace kv {
namespace {

constexpr int kHighPassBand = 3, kLowPassBand = 4, kVariQLowPass = 9, kVariQHighPass = 10;
constexpr std::uint8_t kFirstOrder = 7, kButterworth12 = 1, kQOfButterworth = 90;

// A random output whose every element the formats can express, and what reading its
// export back into a free output must give.
struct RoundTripCase {
    OutputChannel channel;
    std::vector<PeqBand> bands;  // in the file's order: crossovers first, then bands
    CrossoverFilter highPass{12, 6};
    CrossoverFilter lowPass{433, 6};
};

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    RoundTripCase next() {
        RoundTripCase c;
        c.channel.gain = static_cast<std::uint16_t>(pick(30, 450));
        bool highPassUsed = false, lowPassUsed = false;
        int twelveDb = 0;
        if (const int slope = pickSlope(); slope >= 0) {
            c.channel.highPass = {static_cast<std::uint16_t>(pick(13, 432)),
                                  static_cast<std::uint8_t>(slope)};
            twelveDb += expectFilter(c, true, c.channel.highPass, highPassUsed);
        }
        if (const int slope = pickSlope(); slope >= 0) {
            c.channel.lowPass = {static_cast<std::uint16_t>(pick(78, 432)), static_cast<std::uint8_t>(slope)};
            twelveDb += expectFilter(c, false, c.channel.lowPass, lowPassUsed);
        }
        int room = kBandsInUse - twelveDb;
        for (int b = 0; b < kBandsInUse && room > 0; ++b) {
            if (pick(0, 3) == 0) continue;  // stays free
            PeqBand& band = c.channel.bands[static_cast<std::size_t>(b)];
            band = randomBand(highPassUsed, lowPassUsed);
            if (pick(0, 9) == 0) {
                band.flat = 1;  // switched flat: not written
                continue;
            }
            --room;
            if (band.type == kHighPassBand || band.type == kLowPassBand) {
                const bool highPass = band.type == kHighPassBand;
                expectFilter(c, highPass, {band.frequency, band.q}, highPass ? highPassUsed : lowPassUsed);
            } else {
                c.bands.push_back(band);
            }
        }
        return c;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    int pickSlope() {
        const int choice = pick(0, 2);
        return choice == 0 ? -1 : (choice == 1 ? kFirstOrder : kButterworth12);
    }

    // First order comes back as the crossover, 12 dB Butterworth as a VariQ band at Q 0.707.
    // Returns 1 when it takes a band.
    int expectFilter(RoundTripCase& c, bool highPass, CrossoverFilter filter, bool& crossoverUsed) {
        if (filter.slope == kFirstOrder) {
            (highPass ? c.highPass : c.lowPass) = filter;
            crossoverUsed = true;
            return 0;
        }
        c.bands.push_back({filter.frequency, 0, kQOfButterworth, 0,
                           static_cast<std::uint8_t>(highPass ? kVariQHighPass : kVariQLowPass)});
        return 1;
    }

    PeqBand randomBand(bool highPassUsed, bool lowPassUsed) {
        static constexpr int kTypes[] = {0, 1, 2, 3, 4, 5, 6, 7, 9, 10};
        PeqBand band;
        band.type = static_cast<std::uint8_t>(kTypes[pick(0, 9)]);
        const ValueRange f = parameterRange(RangeKind::Frequency, band.type, kUnitKV520);
        const ValueRange g = parameterRange(RangeKind::BandGain, band.type, kUnitKV520);
        const ValueRange q = parameterRange(RangeKind::Q, band.type, kUnitKV520);
        band.frequency = static_cast<std::uint16_t>(pick(std::max(f.minimum, 13), f.maximum));
        band.q = static_cast<std::uint8_t>(pick(q.minimum, q.maximum));
        if (g.maximum > g.minimum) {
            do band.gain = static_cast<std::int16_t>(pick(g.minimum, g.maximum));
            while (band.gain == 0);
        }
        if (band.type == kHighPassBand || band.type == kLowPassBand) {
            const bool used = band.type == kHighPassBand ? highPassUsed : lowPassUsed;
            band.q = used || pick(0, 1) == 0 ? kButterworth12 : kFirstOrder;
            band.frequency = static_cast<std::uint16_t>(pick(band.type == kHighPassBand ? 13 : 78, 432));
        }
        return band;
    }

    std::mt19937 random_;
};

TEST(EqFileWriter, ExportThenImportGivesTheSameCodes) {
    Generator generator(20240314);
    for (int round = 0; round < 100; ++round) {
        const RoundTripCase c = generator.next();
        for (const EqFormat format : {EqFormat::Apo, EqFormat::Rew}) {
            const EqExport exported =
                writeEqFile(c.channel, kBandsInUse, format, {"Korvaliser round trip", ""});
            SCOPED_TRACE(exported.text);
            ASSERT_TRUE(exported.leftOut.empty());
            CKorvaliserDoc doc;
            doc.setHighPassFrequency(0, 12);
            doc.setLowPassFrequency(0, 433);
            const int gainBefore = doc.gain(0);
            const ImportMapping mapping = mapEqFile(parseEqFile(exported.text), doc, {});
            if (c.bands.empty() && c.highPass.frequency == 12 && c.lowPass.frequency == 433 &&
                format == EqFormat::Rew) {
                EXPECT_FALSE(mapping.canApply());  // an output that does nothing exports no filter
                continue;
            }
            ASSERT_TRUE(mapping.canApply()) << mapping.refusal;
            applyImportPlan(doc, mapping.plan);
            const OutputChannel& result = doc.outputChannel(0);
            for (std::size_t b = 0; b < kBandsInUse; ++b) {
                const PeqBand want = b < c.bands.size() ? c.bands[b] : PeqBand{};
                const PeqBand& got = result.bands[b];
                EXPECT_EQ(std::tie(got.frequency, got.gain, got.q, got.flat, got.type),
                          std::tie(want.frequency, want.gain, want.q, want.flat, want.type))
                    << "band " << b + 1;
            }
            EXPECT_EQ(std::tie(result.highPass.frequency, result.highPass.slope),
                      std::tie(c.highPass.frequency, c.highPass.slope));
            EXPECT_EQ(std::tie(result.lowPass.frequency, result.lowPass.slope),
                      std::tie(c.lowPass.frequency, c.lowPass.slope));
            EXPECT_EQ(doc.gain(0), format == EqFormat::Apo ? c.channel.gain : gainBefore);
            if (HasFailure()) return;
        }
    }
}

TEST(EqFileWriter, WritesTheFormatsLinesAndNamesWhatItCannotExpress) {
    OutputChannel channel;
    channel.gain = 185;
    channel.highPass = {85, 6};               // 24dB Link/Riley
    channel.bands[0] = {252, -35, 84, 0, 0};  // PEQ 1 kHz -3.5 dB Q 1
    channel.bands[1] = {200, 0, 40, 0, 8};    // Phase
    channel.bands[2] = {300, 0, 72, 0, 11};   // Elliptic LowPass
    channel.bands[3] = {100, 0, 5, 0, 3};     // HighPass, 24dB Butterworth
    channel.bands[4] = {150, 0, 65, 1, 8};    // Phase, but flat: changes nothing
    const std::vector<std::string> leftOut{"Highpass: 24dB Link/Riley", "Band 2: Phase",
                                           "Band 3: Elliptic LowPass", "Band 4: HighPass 24dB Butterworth"};
    const std::string named =
        "Not in this file (the format cannot express them): Highpass: 24dB Link/Riley, "
        "Band 2: Phase, Band 3: Elliptic LowPass, Band 4: HighPass 24dB Butterworth";

    const EqExport apo =
        writeEqFile(channel, kBandsInUse, EqFormat::Apo, {"Korvaliser preset 1 \"Mains\"\n", ""});
    EXPECT_EQ(apo.leftOut, leftOut);
    EXPECT_EQ(apo.text,
              "# Korvaliser preset 1 \"Mains\" \n"
              "# " +
                  named +
                  "\n"
                  "Preamp: -3.5 dB\n"
                  "Filter 1: ON PK Fc 1000 Hz Gain -3.5 dB Q 1.000\n");

    const EqExport rew = writeEqFile(channel, kBandsInUse, EqFormat::Rew, {"Korvaliser", "14-Mar-2024"});
    EXPECT_EQ(rew.leftOut, leftOut);
    EXPECT_TRUE(rew.text.starts_with("Filter Settings file\n\nDated: 14-Mar-2024\n\nNotes:" + named + "\n"))
        << rew.text;
    const EqFile back = parseEqFile(rew.text);
    EXPECT_FALSE(back.hasErrors());
    EXPECT_TRUE(back.messages.empty());
    ASSERT_EQ(back.filters.size(), 1u);
    EXPECT_DOUBLE_EQ(back.filters[0].gainDb, -3.5);
}

}  // namespace
}  // namespace kv
