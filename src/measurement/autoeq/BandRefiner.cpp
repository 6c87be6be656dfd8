#include "measurement/autoeq/BandRefiner.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace kv {

namespace {

constexpr double kFirstDamping = 1e-3;
constexpr double kLargestDamping = 1e12;
constexpr double kRelativeGain = 1e-6;  // a smaller relative drop of the cost ends the search

using Matrix = std::vector<std::vector<double>>;

// Solves m x = b by Gaussian elimination with partial pivoting; a vanishing pivot leaves
// that unknown at 0.
std::vector<double> solved(Matrix m, std::vector<double> b) {
    const std::size_t n = b.size();
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row)
            if (std::fabs(m[row][col]) > std::fabs(m[pivot][col])) pivot = row;
        std::swap(m[col], m[pivot]);
        std::swap(b[col], b[pivot]);
        if (std::fabs(m[col][col]) < 1e-300) continue;
        for (std::size_t row = col + 1; row < n; ++row) {
            const double factor = m[row][col] / m[col][col];
            if (factor == 0.0) continue;
            for (std::size_t k = col; k < n; ++k) m[row][k] -= factor * m[col][k];
            b[row] -= factor * b[col];
        }
    }
    std::vector<double> x(n, 0.0);
    for (std::size_t i = n; i-- > 0;) {
        if (std::fabs(m[i][i]) < 1e-300) continue;
        double sum = b[i];
        for (std::size_t k = i + 1; k < n; ++k) sum -= m[i][k] * x[k];
        x[i] = sum / m[i][i];
    }
    return x;
}

class Refiner {
public:
    Refiner(const FitProblem& problem, FitState& state, std::span<const std::size_t> moving)
        : problem_(problem), state_(state), moving_(moving.begin(), moving.end()) {}

    double run(int maxIterations) {
        std::vector<double> residual = state_.residual(problem_);
        double cost = problem_.cost(residual);
        double damping = kFirstDamping;
        for (int iteration = 0; iteration < maxIterations && !moving_.empty(); ++iteration) {
            const Matrix jacobian = jacobianColumns();
            const Matrix normal = normalMatrix(jacobian);
            const std::vector<double> gradient = weightedProducts(jacobian, residual);
            bool stepped = false;
            while (!stepped && damping < kLargestDamping) {
                FitState trial = steppedState(normal, gradient, damping);
                std::vector<double> trialResidual = trial.residual(problem_);
                const double trialCost = problem_.cost(trialResidual);
                if (trialCost >= cost) {
                    damping *= 4.0;
                    continue;
                }
                const bool converged = cost - trialCost <= kRelativeGain * cost;
                state_ = std::move(trial);
                residual = std::move(trialResidual);
                cost = trialCost;
                damping = std::max(damping / 3.0, 1e-9);
                stepped = true;
                if (converged) return cost;
            }
            if (!stepped) break;
        }
        return cost;
    }

private:
    std::size_t parameterCount() const { return moving_.size() * kFitParameters; }

    // d(curve)/d(parameter) at every point, one column per moving parameter.
    Matrix jacobianColumns() const {
        Matrix columns;
        columns.reserve(parameterCount());
        std::array<std::vector<double>, kFitParameters> slopes;
        for (const std::size_t b : moving_) {
            bandSlopes(state_.bands[b], problem_.hz(), slopes);
            for (std::vector<double>& slope : slopes) columns.push_back(std::move(slope));
        }
        return columns;
    }

    Matrix normalMatrix(const Matrix& jacobian) const {
        const std::size_t n = jacobian.size();
        Matrix normal(n, std::vector<double>(n, 0.0));
        const std::span<const double> w = problem_.weights();
        for (std::size_t a = 0; a < n; ++a) {
            for (std::size_t c = a; c < n; ++c) {
                double sum = 0.0;
                for (std::size_t i = 0; i < w.size(); ++i) sum += w[i] * jacobian[a][i] * jacobian[c][i];
                normal[a][c] = sum;
                normal[c][a] = sum;
            }
        }
        return normal;
    }

    std::vector<double> weightedProducts(const Matrix& jacobian, const std::vector<double>& residual) const {
        std::vector<double> products(jacobian.size(), 0.0);
        const std::span<const double> w = problem_.weights();
        for (std::size_t a = 0; a < jacobian.size(); ++a)
            for (std::size_t i = 0; i < w.size(); ++i) products[a] += w[i] * jacobian[a][i] * residual[i];
        return products;
    }

    FitState steppedState(Matrix normal, const std::vector<double>& gradient, double damping) const {
        double largestDiagonal = 0.0;
        for (std::size_t a = 0; a < normal.size(); ++a)
            largestDiagonal = std::max(largestDiagonal, normal[a][a]);
        const double floor = 1e-12 * largestDiagonal + 1e-30;
        for (std::size_t a = 0; a < normal.size(); ++a)
            normal[a][a] += damping * std::max(normal[a][a], floor);
        std::vector<double> negative(gradient.size());
        std::transform(gradient.begin(), gradient.end(), negative.begin(), [](double g) { return -g; });
        const std::vector<double> delta = solved(std::move(normal), std::move(negative));
        FitState trial = state_;
        for (std::size_t m = 0; m < moving_.size(); ++m) {
            const std::size_t b = moving_[m];
            for (std::size_t p = 0; p < kFitParameters; ++p)
                trial.bands[b].values[p] += delta[m * kFitParameters + p];
            clampToLimits(trial.bands[b], trial.limits[b]);
            bandCurve(trial.bands[b], problem_.hz(), trial.curves[b]);
        }
        return trial;
    }

    const FitProblem& problem_;
    FitState& state_;
    std::vector<std::size_t> moving_;
};

}  // namespace

double refineBands(const FitProblem& problem, FitState& state, std::span<const std::size_t> moving,
                   int maxIterations) {
    return Refiner(problem, state, moving).run(maxIterations);
}

double refineAllBands(const FitProblem& problem, FitState& state, int maxIterations) {
    std::vector<std::size_t> all(state.bands.size());
    std::iota(all.begin(), all.end(), std::size_t{0});
    return refineBands(problem, state, all, maxIterations);
}

}  // namespace kv
