#include "measurement/autoeq/AutoEq.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <string>

#include "document/CodeScales.h"
#include "document/KorvaliserDoc.h"
#include "measurement/autoeq/BandPlacement.h"
#include "measurement/autoeq/CodeSearch.h"
#include "response/analog/FilterCurve.h"

namespace kv {

namespace {

constexpr int kLeastPoints = 3;

std::string hzText(double hz) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%g Hz", hz);
    return text.data();
}

std::string requestProblem(const AutoEqRequest& request) {
    const AutoEqOptions& o = request.options;
    if (request.bands.empty()) return "there is no band to fit";
    std::vector<int> sorted = request.bands;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) return "a band is chosen twice";
    for (const int band : sorted)
        if (band < 0 || band >= std::min(request.activeBandCount, kBandSlots))
            return "band " + std::to_string(band + 1) + " is not in use";
    if (!(o.lowHz > 0.0 && o.lowHz < o.highHz && std::isfinite(o.highHz)))
        return "the range must run from a lower to a higher frequency";
    if (!(o.maxBoostDb >= 0.0 && std::isfinite(o.maxBoostDb)))
        return "the maximum boost must not be negative";
    if (!(o.maxQ > 0.0 && std::isfinite(o.maxQ))) return "the highest Q must be above 0";
    return {};
}

double costOfCurrentBands(const FitProblem& problem, const AutoEqRequest& request) {
    std::vector<std::vector<double>> curves(request.bands.size());
    for (std::size_t i = 0; i < request.bands.size(); ++i)
        codesCurve(request.channel.bands[static_cast<std::size_t>(request.bands[i])], request.unitType,
                   problem.hz(), curves[i]);
    return problem.cost(problem.residualWith(curves));
}

bool isFreeBand(const PeqBand& band) {
    const bool gainType = band.type == PeqPeaking || band.type == PeqLowShelf || band.type == PeqHighShelf;
    return band.flat != 0 || (gainType && band.gain == 0);
}

// A chosen band the fit did not need: left as it is when it changes nothing, else made a
// 0 dB PEQ where it stands.
PeqBand unusedBand(PeqBand band, int unitType) {
    if (isFreeBand(band)) return band;
    const ValueRange frequency = parameterRange(RangeKind::Frequency, PeqPeaking, unitType);
    const ValueRange q = parameterRange(RangeKind::Q, PeqPeaking, unitType);
    band.type = PeqPeaking;
    band.gain = 0;
    band.flat = 0;
    band.frequency =
        static_cast<std::uint16_t>(std::clamp<int>(band.frequency, frequency.minimum, frequency.maximum));
    band.q = static_cast<std::uint8_t>(std::clamp<int>(band.q, q.minimum, q.maximum));
    return band;
}

// The placed bands that ended with a gain go to the chosen band numbers in order of
// frequency; the chosen bands left over are not needed.
std::vector<FittedBand> assignBands(const AutoEqRequest& request, const FitState& state,
                                    const CodeFit& codes) {
    std::vector<int> chosen = request.bands;
    std::sort(chosen.begin(), chosen.end());
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < state.bands.size(); ++i)
        if (codes.codes[i].gain != 0) order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return state.bands[a].frequencyIndex() < state.bands[b].frequencyIndex();
    });
    std::vector<FittedBand> bands;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        FittedBand fitted;
        fitted.band = chosen[i];
        fitted.codes =
            unusedBand(request.channel.bands[static_cast<std::size_t>(chosen[i])], request.unitType);
        if (i < order.size()) {
            const FitBand& band = state.bands[order[i]];
            fitted.codes = codes.codes[order[i]];
            fitted.used = true;
            fitted.hz = frequencyOfIndex(band.frequencyIndex());
            fitted.gainDb = band.gainDb();
            fitted.q = qOfIndex(band.qIndex());
        }
        bands.push_back(fitted);
    }
    return bands;
}

}  // namespace

AutoEqRequest autoEqRequest(const CKorvaliserDoc& doc, int output, const GridCurve& measurement,
                            const GridCurve& target) {
    AutoEqRequest request;
    request.measurement = measurement;
    request.target = target;
    request.channel = doc.outputChannel(output);
    request.activeBandCount = doc.activeBandCount();
    request.unitType = doc.unitType();
    return request;
}

AutoEqResult fitAutoEq(const AutoEqRequest& request) {
    AutoEqResult result;
    if (result.error = requestProblem(request); !result.error.empty()) return result;
    const FitProblem problem(request);
    result.points = static_cast<int>(problem.size());
    if (result.points < kLeastPoints) {
        result.error = "the measurement and the target meet no grid point between " +
                       hzText(request.options.lowHz) + " and " + hzText(request.options.highHz);
        return result;
    }
    result.rmsBefore = problem.rmsOf(costOfCurrentBands(problem, request));
    const FitState state =
        placeBands(problem, static_cast<int>(request.bands.size()), request.options, request.unitType);
    result.rmsContinuous = problem.rmsOf(state.cost(problem));
    const CodeFit codes = searchCodes(problem, state, request.unitType);
    result.rmsSnapped = problem.rmsOf(codes.cost);
    result.bands = assignBands(request, state, codes);
    return result;
}

std::vector<int> freeBands(const OutputChannel& channel, int activeBandCount) {
    std::vector<int> free;
    for (int b = 0; b < std::min(activeBandCount, kBandSlots); ++b) {
        const PeqBand& band = channel.bands[static_cast<std::size_t>(b)];
        const bool gainType =
            band.type == PeqPeaking || band.type == PeqLowShelf || band.type == PeqHighShelf;
        if (band.flat != 0 || (gainType && band.gain == 0)) free.push_back(b);
    }
    return free;
}

void applyAutoEq(CKorvaliserDoc& doc, int output, const AutoEqResult& result) {
    for (const FittedBand& fitted : result.bands) {
        const int b = fitted.band;
        const PeqBand& codes = fitted.codes;
        if (doc.bandType(output, b) != codes.type) doc.setBandType(output, b, codes.type);
        if (doc.bandQ(output, b) != codes.q) doc.setBandQ(output, b, codes.q);
        if (doc.bandFrequency(output, b) != codes.frequency || doc.bandGain(output, b) != codes.gain)
            doc.setBandFrequencyAndGain(output, b, codes.frequency, codes.gain);
        if (doc.bandFlat(output, b) != (codes.flat != 0)) doc.setBandFlat(output, b, codes.flat);
    }
}

}  // namespace kv
