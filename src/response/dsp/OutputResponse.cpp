#include "response/dsp/OutputResponse.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "protocol/UnitProtocol.h"
#include "response/CurveSlots.h"
#include "response/analog/AnalogElement.h"
#include "response/analog/FilterCurve.h"
#include "response/dsp/DspSection.h"

namespace kv {

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

ComplexCurve ones() {
    ComplexCurve curve;
    curve.fill({1.0, 0.0});
    return curve;
}

bool isBandSlot(int slot) { return slot >= CurveSlots::firstBand && slot < CurveSlots::band(kBandSlots); }

const PeqBand& bandOfSlot(const OutputChannel& output, int slot) {
    return output.bands[static_cast<std::size_t>(slot - CurveSlots::firstBand)];
}

AnalogElement analogElementOfSlot(const OutputChannel& output, int slot, int unitType) {
    if (slot == CurveSlots::highPass || slot == CurveSlots::lowPass) {
        const bool high = slot == CurveSlots::highPass;
        const CrossoverFilter& filter = high ? output.highPass : output.lowPass;
        return analogElementOfCodes(high ? PeqHighPass : PeqLowPass, filter.frequency, filter.slope, 0, 0,
                                    unitType);
    }
    if (!isBandSlot(slot)) return {};
    const PeqBand& band = bandOfSlot(output, slot);
    return analogElementOfCodes(band.type, band.frequency, band.q, band.gain, band.flat, unitType);
}

// The sections the unit receives for a slot, read back from their words.
struct WireSections {
    std::array<DspSection, 2> sections{};
    int count = 0;
};

WireSections wireSectionsOfSlot(const OutputChannel& output, int slot) {
    if (slot == CurveSlots::highPass || slot == CurveSlots::lowPass) {
        const CrossoverSections words = slot == CurveSlots::highPass
                                            ? crossoverSections(output.highPass, CrossoverSide::HighPass)
                                            : crossoverSections(output.lowPass, CrossoverSide::LowPass);
        return {{decodeSection(words[0]), decodeSection(words[1])}, 2};
    }
    if (!isBandSlot(slot)) return {};
    return {{decodeSection(peqBandSection(bandOfSlot(output, slot)))}, 1};
}

void multiplyByAnalog(ComplexCurve& curve, const OutputChannel& output, int slot, int unitType) {
    const AnalogElement element = analogElementOfSlot(output, slot, unitType);
    if (element.count == 0) return;
    const auto& frequencies = ResponseGrid::frequencies();
    for (std::size_t k = 0; k < curve.size(); ++k) curve[k] *= analogElementResponse(element, frequencies[k]);
}

void multiplyByDsp(ComplexCurve& curve, const OutputChannel& output, int slot) {
    const WireSections wire = wireSectionsOfSlot(output, slot);
    const auto& angles = gridClockAngles();
    for (int i = 0; i < wire.count; ++i) {
        const DspSection& section = wire.sections[static_cast<std::size_t>(i)];
        for (std::size_t k = 0; k < curve.size(); ++k) curve[k] *= dspSectionResponse(section, angles[k]);
    }
}

void multiplyBySlot(ComplexCurve& curve, const OutputChannel& output, int slot, ResponseModel model,
                    int unitType) {
    if (model == ResponseModel::Analog)
        multiplyByAnalog(curve, output, slot, unitType);
    else
        multiplyByDsp(curve, output, slot);
}

}  // namespace

ComplexCurve slotResponse(const OutputChannel& output, int slot, ResponseModel model, int unitType) {
    ComplexCurve curve = ones();
    multiplyBySlot(curve, output, slot, model, unitType);
    return curve;
}

GridCurve slotMagnitudeDb(const OutputChannel& output, int slot, ResponseModel model, int unitType) {
    if (model == ResponseModel::Analog) return magnitudeDb(slotResponse(output, slot, model, unitType));
    std::array<double, kGridPoints> numerator{};
    std::array<double, kGridPoints> denominator{};
    numerator.fill(1.0);
    denominator.fill(1.0);
    const WireSections wire = wireSectionsOfSlot(output, slot);
    const auto& angles = gridClockAngles();
    for (int i = 0; i < wire.count; ++i) {
        const DspSection& section = wire.sections[static_cast<std::size_t>(i)];
        for (std::size_t k = 0; k < angles.size(); ++k) {
            const SquaredMagnitudes squared = dspSectionSquaredMagnitudes(section, angles[k]);
            numerator[k] *= squared.numerator;
            denominator[k] *= squared.denominator;
        }
    }
    GridCurve decibels{};
    for (std::size_t k = 0; k < decibels.size(); ++k)
        decibels[k] = 10.0 * std::log10(numerator[k] / denominator[k]);
    return decibels;
}

ComplexCurve totalResponse(const OutputChannel& output, int activeBandCount, ResponseModel model,
                           int unitType) {
    ComplexCurve curve = ones();
    const int bands = std::min(activeBandCount, kBandSlots);
    for (int slot = 0; slot <= CurveSlots::lastElement(bands); ++slot)
        multiplyBySlot(curve, output, slot, model, unitType);
    return curve;
}

ComplexCurve gainWordResponse(const OutputChannel& output) {
    ComplexCurve curve;
    curve.fill({coefficientValue(gainWord(output)), 0.0});
    return curve;
}

GridCurve magnitudeDb(const ComplexCurve& response) {
    GridCurve decibels{};
    // 10 log10 |H|^2: the same figure without the square root.
    for (std::size_t k = 0; k < response.size(); ++k) decibels[k] = 10.0 * std::log10(std::norm(response[k]));
    return decibels;
}

double wrapDegrees(double degrees) {
    double wrapped = std::remainder(degrees, 360.0);  // [-180, 180]
    if (wrapped <= -180.0) wrapped += 360.0;
    return wrapped == 0.0 ? 0.0 : wrapped;  // no negative zero in listings
}

GridCurve phaseDegrees(const ComplexCurve& response) {
    GridCurve degrees{};
    for (std::size_t k = 0; k < response.size(); ++k)
        degrees[k] = wrapDegrees(std::arg(response[k]) * kDegreesPerRadian);
    return degrees;
}

GridCurve unwrapDegrees(const GridCurve& wrapped) {
    GridCurve unwrapped = wrapped;
    double offset = 0.0;
    double previous = std::nan("");
    for (double& value : unwrapped) {
        if (std::isnan(value)) continue;
        if (!std::isnan(previous)) offset += 360.0 * std::round((previous - value) / 360.0);
        previous = value;
        value += offset;
    }
    return unwrapped;
}

}  // namespace kv
