#include "measurement/autoeq/BandPlacement.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "measurement/autoeq/BandRefiner.h"
#include "response/analog/FilterCurve.h"

namespace kv {

namespace {

constexpr int kCandidateIterations = 40;
constexpr int kPlacedIterations = 40;
constexpr int kFinalIterations = 300;
// A band is placed only when it lowers the RMS error by both of these: one that does less
// would only follow the measurement's noise.
constexpr double kUsefulRelativeDrop = 0.001;
constexpr double kUsefulDropDb = 0.01;
constexpr int kPeakHalfWindow = 2;           // points each side when the error is smoothed to find a peak
constexpr double kShelfCornerOctaves = 2.0;  // first guess: two octaves in from the range's end
constexpr double kShelfQIndex = 90.0;        // Q 0.71

struct Candidate {
    FitBand band;
    BandLimits limits;
};

std::vector<double> smoothedError(const std::vector<double>& residual) {
    std::vector<double> smoothed(residual.size(), 0.0);
    const auto n = static_cast<std::ptrdiff_t>(residual.size());
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        double sum = 0.0;
        int count = 0;
        for (std::ptrdiff_t j = std::max<std::ptrdiff_t>(0, i - kPeakHalfWindow);
             j <= std::min(n - 1, i + kPeakHalfWindow); ++j, ++count)
            sum += residual[static_cast<std::size_t>(j)];
        smoothed[static_cast<std::size_t>(i)] = sum / count;
    }
    return smoothed;
}

// Q of a band whose half-height width is `octaves` wide.
double qOfWidth(double octaves) {
    const double ratio = std::exp2(octaves);
    return std::sqrt(ratio) / (ratio - 1.0);
}

std::optional<Candidate> peakCandidate(const FitProblem& problem, const std::vector<double>& residual,
                                       const BandLimits& limits) {
    const std::vector<double> error = smoothedError(residual);
    const std::span<const double> weights = problem.weights();
    const bool mayCut = limits.lower[kGainParameter] < 0.0;
    const bool mayBoost = limits.upper[kGainParameter] > 0.0;
    std::optional<std::size_t> peak;
    for (std::size_t i = 0; i < error.size(); ++i) {
        const double index = frequencyIndexOf(problem.hz()[i]);
        if (index < limits.lower[kFrequencyParameter] || index > limits.upper[kFrequencyParameter]) continue;
        if ((error[i] > 0.0 && !mayCut) || (error[i] < 0.0 && !mayBoost)) continue;
        if (!peak ||
            std::fabs(error[i]) * std::sqrt(weights[i]) > std::fabs(error[*peak]) * std::sqrt(weights[*peak]))
            peak = i;
    }
    if (!peak || error[*peak] == 0.0) return std::nullopt;
    const double half = std::fabs(error[*peak]) / 2.0;
    const auto sameSideAbove = [&](std::size_t i) {
        return error[i] * error[*peak] > 0.0 && std::fabs(error[i]) >= half;
    };
    std::size_t left = *peak;
    std::size_t right = *peak;
    while (left > 0 && sameSideAbove(left - 1)) --left;
    while (right + 1 < error.size() && sameSideAbove(right + 1)) ++right;
    const double widthOctaves = std::max(std::log2(problem.hz()[right] / problem.hz()[left]), 1.0 / 36.0);
    Candidate candidate{
        {PeqPeaking,
         {frequencyIndexOf(problem.hz()[*peak]), -error[*peak], qIndexOf(qOfWidth(widthOctaves))}},
        limits};
    clampToLimits(candidate.band, limits);
    return candidate;
}

std::optional<Candidate> shelfCandidate(const FitProblem& problem, const std::vector<double>& residual,
                                        const BandLimits& limits, int type, const AutoEqOptions& options) {
    const bool low = type == PeqLowShelf;
    const double cornerHz = low ? options.lowHz * std::exp2(kShelfCornerOctaves)
                                : options.highHz / std::exp2(kShelfCornerOctaves);
    double sum = 0.0;
    int count = 0;
    for (std::size_t i = 0; i < residual.size(); ++i) {
        const double hz = problem.hz()[i];
        if (low ? hz <= cornerHz : hz >= cornerHz) {
            sum += residual[i];
            ++count;
        }
    }
    if (count == 0) return std::nullopt;
    Candidate candidate{{type, {frequencyIndexOf(cornerHz), -sum / count, kShelfQIndex}}, limits};
    clampToLimits(candidate.band, limits);
    return candidate;
}

class Placement {
public:
    Placement(const FitProblem& problem, const AutoEqOptions& options, int unitType)
        : problem_(problem),
          options_(options),
          peq_(bandLimits(PeqPeaking, options, unitType)),
          lowShelf_(bandLimits(PeqLowShelf, options, unitType)),
          highShelf_(bandLimits(PeqHighShelf, options, unitType)) {}

    FitState run(int bandCount) {
        double cost = state_.cost(problem_);
        for (int placed = 0; placed < bandCount && cost > 0.0; ++placed) {
            const double rms = problem_.rmsOf(cost);
            const double usefulRms = std::min(rms * (1.0 - kUsefulRelativeDrop), rms - kUsefulDropDb);
            if (usefulRms <= 0.0) break;
            std::optional<FitState> best;
            double bestCost = problem_.costOfRms(usefulRms);
            for (const Candidate& candidate : candidates()) {
                FitState trial = state_;
                trial.add(problem_, candidate.band, candidate.limits);
                const std::size_t added = trial.bands.size() - 1;
                const double trialCost = refineBands(problem_, trial, {&added, 1}, kCandidateIterations);
                if (trialCost < bestCost) {
                    bestCost = trialCost;
                    best = std::move(trial);
                }
            }
            if (!best) break;
            state_ = std::move(*best);
            cost = refineAllBands(problem_, state_, kPlacedIterations);
        }
        refineAllBands(problem_, state_, kFinalIterations);
        return state_;
    }

private:
    bool hasType(int type) const {
        for (const FitBand& band : state_.bands)
            if (band.type == type) return true;
        return false;
    }

    std::vector<Candidate> candidates() const {
        const std::vector<double> residual = state_.residual(problem_);
        std::vector<Candidate> found;
        if (peq_.usable)
            if (auto peak = peakCandidate(problem_, residual, peq_)) found.push_back(*peak);
        if (!options_.allowShelves) return found;
        if (lowShelf_.usable && !hasType(PeqLowShelf))
            if (auto shelf = shelfCandidate(problem_, residual, lowShelf_, PeqLowShelf, options_))
                found.push_back(*shelf);
        if (highShelf_.usable && !hasType(PeqHighShelf))
            if (auto shelf = shelfCandidate(problem_, residual, highShelf_, PeqHighShelf, options_))
                found.push_back(*shelf);
        return found;
    }

    const FitProblem& problem_;
    const AutoEqOptions& options_;
    BandLimits peq_;
    BandLimits lowShelf_;
    BandLimits highShelf_;
    FitState state_;
};

}  // namespace

FitState placeBands(const FitProblem& problem, int bandCount, const AutoEqOptions& options, int unitType) {
    return Placement(problem, options, unitType).run(bandCount);
}

}  // namespace kv
