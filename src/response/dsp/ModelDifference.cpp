#include "response/dsp/ModelDifference.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "document/ValueText.h"

namespace kv {

namespace {

constexpr int kLowestNamedFrequency = 13;  // the value texts call index 12 and below "<10Hz"

// The frequency of a grid point as the value texts write it ("91.9", "981", "1k00"), with
// the unit apart: "91.9 Hz". Below the value texts' range the point gets one decimal.
std::string frequencyWords(int point) {
    const int index = ResponseGrid::frequencyIndex(point);
    std::string number;
    if (index < kLowestNamedFrequency) {
        std::array<char, 32> text{};
        std::snprintf(text.data(), text.size(), "%.1f", ResponseGrid::frequency(point));
        number = text.data();
    } else {
        number = frequencyText(index);
        number.erase(0, number.find_first_not_of(' '));
        if (number.ends_with("Hz")) number.resize(number.size() - 2);
    }
    return number + " Hz";
}

ModelDifference compare(const ComplexCurve& dsp, const ComplexCurve& model, FrequencySpan span) {
    return worstDifference(magnitudeDb(dsp), magnitudeDb(model), span);
}

}  // namespace

ModelDifference worstDifference(const GridCurve& dspDb, const GridCurve& modelDb, FrequencySpan span) {
    ModelDifference worst;
    for (int k = 0; k < kGridPoints; ++k) {
        const double f = ResponseGrid::frequency(k);
        const auto at = static_cast<std::size_t>(k);
        if (f < span.lowHz || f > span.highHz || std::isnan(dspDb[at]) || std::isnan(modelDb[at])) continue;
        const double difference =
            std::max(dspDb[at], kComparisonFloorDb) - std::max(modelDb[at], kComparisonFloorDb);
        if (worst.point < 0 || std::fabs(difference) > std::fabs(worst.decibels)) worst = {k, f, difference};
    }
    return worst;
}

ModelDifference outputModelDifference(const OutputChannel& output, int activeBandCount, int unitType,
                                      FrequencySpan span) {
    return compare(totalResponse(output, activeBandCount, ResponseModel::Dsp, unitType),
                   totalResponse(output, activeBandCount, ResponseModel::Analog, unitType), span);
}

ModelDifference elementModelDifference(const OutputChannel& output, int slot, int unitType,
                                       FrequencySpan span) {
    return compare(slotResponse(output, slot, ResponseModel::Dsp, unitType),
                   slotResponse(output, slot, ResponseModel::Analog, unitType), span);
}

std::string modelDifferenceWarning(const ModelDifference& difference) {
    if (difference.point < 0 || !(std::fabs(difference.decibels) > kAudibleDifferenceDb)) return {};
    std::array<char, 32> decibels{};
    std::snprintf(decibels.data(), decibels.size(), "%.1f", std::fabs(difference.decibels));
    return std::string("DSP differs by ") + decibels.data() + " dB at " + frequencyWords(difference.point);
}

}  // namespace kv
