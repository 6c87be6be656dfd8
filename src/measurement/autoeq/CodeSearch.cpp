#include "measurement/autoeq/CodeSearch.h"

#include <cmath>

namespace kv {

namespace {

constexpr int kMaxPasses = 200;
constexpr double kLeastGain = 1e-12;  // below this a move is rounding, not an improvement

struct CodeLimits {
    int frequencyLow, frequencyHigh, gainLow, gainHigh, qLow, qHigh;

    explicit CodeLimits(const BandLimits& limits)
        : frequencyLow(static_cast<int>(std::lround(limits.lower[kFrequencyParameter]))),
          frequencyHigh(static_cast<int>(std::lround(limits.upper[kFrequencyParameter]))),
          gainLow(static_cast<int>(std::lround(limits.lower[kGainParameter] * 10.0))),
          gainHigh(static_cast<int>(std::lround(limits.upper[kGainParameter] * 10.0))),
          qLow(static_cast<int>(std::lround(limits.lower[kQParameter]))),
          qHigh(static_cast<int>(std::lround(limits.upper[kQParameter]))) {}

    bool holds(int frequency, int gain, int q) const {
        return frequency >= frequencyLow && frequency <= frequencyHigh && gain >= gainLow &&
               gain <= gainHigh && q >= qLow && q <= qHigh;
    }
};

class Search {
public:
    Search(const FitProblem& problem, const FitState& state, int unitType)
        : problem_(problem), unitType_(unitType) {
        for (std::size_t b = 0; b < state.bands.size(); ++b) {
            limits_.emplace_back(state.limits[b]);
            codes_.push_back(snappedCodes(state.bands[b], state.limits[b]));
            curves_.emplace_back();
            codesCurve(codes_.back(), unitType_, problem_.hz(), curves_.back());
        }
        residual_ = problem_.residualWith(curves_);
        cost_ = problem_.cost(residual_);
    }

    CodeFit run() {
        for (int pass = 0; pass < kMaxPasses; ++pass) {
            bool improved = false;
            for (std::size_t b = 0; b < codes_.size(); ++b) improved = improveBand(b) || improved;
            if (!improved) break;
        }
        return {codes_, cost_};
    }

private:
    double costWith(std::size_t band, const std::vector<double>& curve) const {
        const std::span<const double> w = problem_.weights();
        double sum = 0.0;
        for (std::size_t i = 0; i < curve.size(); ++i) {
            const double r = residual_[i] - curves_[band][i] + curve[i];
            sum += w[i] * r * r;
        }
        return sum;
    }

    bool improveBand(std::size_t band) {
        const PeqBand current = codes_[band];
        PeqBand best = current;
        double bestCost = cost_;
        std::vector<double> bestCurve;
        std::vector<double> curve;
        for (int df = -1; df <= 1; ++df) {
            for (int dg = -1; dg <= 1; ++dg) {
                for (int dq = -1; dq <= 1; ++dq) {
                    const int frequency = current.frequency + df;
                    const int gain = current.gain + dg;
                    const int q = current.q + dq;
                    if ((df == 0 && dg == 0 && dq == 0) || !limits_[band].holds(frequency, gain, q)) continue;
                    PeqBand candidate = current;
                    candidate.frequency = static_cast<std::uint16_t>(frequency);
                    candidate.gain = static_cast<std::int16_t>(gain);
                    candidate.q = static_cast<std::uint8_t>(q);
                    codesCurve(candidate, unitType_, problem_.hz(), curve);
                    const double cost = costWith(band, curve);
                    if (cost < bestCost * (1.0 - kLeastGain)) {
                        bestCost = cost;
                        best = candidate;
                        bestCurve = curve;
                    }
                }
            }
        }
        if (bestCurve.empty()) return false;
        for (std::size_t i = 0; i < residual_.size(); ++i) residual_[i] += bestCurve[i] - curves_[band][i];
        curves_[band] = std::move(bestCurve);
        codes_[band] = best;
        cost_ = problem_.cost(residual_);
        return true;
    }

    const FitProblem& problem_;
    int unitType_;
    std::vector<CodeLimits> limits_;
    std::vector<PeqBand> codes_;
    std::vector<std::vector<double>> curves_;
    std::vector<double> residual_;
    double cost_ = 0.0;
};

}  // namespace

CodeFit searchCodes(const FitProblem& problem, const FitState& state, int unitType) {
    return Search(problem, state, unitType).run();
}

}  // namespace kv
