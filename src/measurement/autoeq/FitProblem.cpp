#include "measurement/autoeq/FitProblem.h"

#include <algorithm>
#include <cmath>

#include "response/analog/AnalogElement.h"
#include "response/analog/FilterCurve.h"

namespace kv {

namespace {

bool isChosen(const AutoEqRequest& request, int band) {
    return std::find(request.bands.begin(), request.bands.end(), band) != request.bands.end();
}

// dB of every element of the output that the fit does not set, at one frequency.
double fixedResponse(const AutoEqRequest& request, double hz) {
    const OutputChannel& c = request.channel;
    double decibels = 0.0;
    const auto add = [&](const AnalogElement& element) {
        decibels += 20.0 * std::log10(std::abs(analogElementResponse(element, hz)));
    };
    add(analogElementOfCodes(PeqHighPass, c.highPass.frequency, c.highPass.slope, 0, 0, request.unitType));
    add(analogElementOfCodes(PeqLowPass, c.lowPass.frequency, c.lowPass.slope, 0, 0, request.unitType));
    for (int b = 0; b < request.activeBandCount && b < kBandSlots; ++b) {
        if (isChosen(request, b)) continue;
        const PeqBand& band = c.bands[static_cast<std::size_t>(b)];
        add(analogElementOfCodes(band.type, band.frequency, band.q, band.gain, band.flat, request.unitType));
    }
    return decibels;
}

}  // namespace

FitProblem::FitProblem(const AutoEqRequest& request) {
    for (int k = 0; k < kGridPoints; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const double hz = ResponseGrid::frequency(k);
        const double weight = request.weights[i];
        if (hz < request.options.lowHz || hz > request.options.highHz) continue;
        if (!isPresent(request.measurement[i]) || !isPresent(request.target[i])) continue;
        if (!(weight > 0.0) || !std::isfinite(weight)) continue;
        const double baseline = request.measurement[i] + fixedResponse(request, hz) - request.target[i];
        if (!isPresent(baseline)) continue;
        hz_.push_back(hz);
        baseline_.push_back(baseline);
        weights_.push_back(weight);
        weightSum_ += weight;
    }
}

double FitProblem::cost(std::span<const double> residual) const {
    double sum = 0.0;
    for (std::size_t i = 0; i < residual.size(); ++i) sum += weights_[i] * residual[i] * residual[i];
    return sum;
}

double FitProblem::rmsOf(double cost) const { return weightSum_ > 0.0 ? std::sqrt(cost / weightSum_) : 0.0; }

std::vector<double> FitProblem::residualWith(const std::vector<std::vector<double>>& curves) const {
    std::vector<double> residual = baseline_;
    for (const std::vector<double>& curve : curves)
        for (std::size_t i = 0; i < residual.size(); ++i) residual[i] += curve[i];
    return residual;
}

}  // namespace kv
