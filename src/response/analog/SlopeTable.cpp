#include "response/analog/SlopeTable.h"

#include <stdexcept>

namespace kv {

namespace {

constexpr double kSqrt2 = 1.4142135623730951;
constexpr double kSqrt3 = 1.7320508075688772;
constexpr double kButterworth4a = 1.8477590650225735;  // sqrt(2 + sqrt 2)
constexpr double kButterworth4b = 0.7653668647301795;  // sqrt(2 - sqrt 2)

constexpr SlopeSection second(double b, double lowPassFactor = 1.0) {
    return {2, b, lowPassFactor, 1.0 / lowPassFactor};
}
constexpr SlopeSection first(double lowPassFactor = 1.0) {
    return {1, 0.0, lowPassFactor, 1.0 / lowPassFactor};
}

constexpr SlopeRow row(int decibels, SlopeSection s0) { return {decibels, 1, {s0, {}, {}, {}}}; }
constexpr SlopeRow row(int decibels, SlopeSection s0, SlopeSection s1) {
    return {decibels, 2, {s0, s1, {}, {}}};
}
constexpr SlopeRow row(int decibels, SlopeSection s0, SlopeSection s1, SlopeSection s2, SlopeSection s3) {
    return {decibels, 4, {s0, s1, s2, s3}};
}

constexpr std::array<SlopeRow, kSlopeCodeCount> kSlopeTable{
    row(12, second(kSqrt3, 1.2736)),                          // 0 Bessel
    row(12, second(kSqrt2)),                                  // 1 Butterworth
    row(18, second(1.447, 1.4524), first(1.327)),             // 2 Bessel
    row(18, second(1.0), first()),                            // 3 Butterworth
    row(24, second(1.916, 1.4192), second(1.241, 1.5912)),    // 4 Bessel
    row(24, second(kButterworth4a), second(kButterworth4b)),  // 5 Butterworth
    row(24, second(kSqrt2), second(kSqrt2)),                  // 6 Link/Riley
    row(6, first()),                                          // 7 1st order
    row(12, first(), first()),                                // 8 Link/Riley
    row(48, second(1.9763, 1.7837), second(1.787, 1.8376), second(1.4067, 1.9591),
        second(0.8158, 2.1953)),  // 9 Bessel
    row(48, second(1.9615705608064609), second(1.6629392246050905), second(1.1111404660392046),
        second(0.3901806440322566)),  // 10 Butterworth
    row(48, second(kButterworth4a), second(kButterworth4a), second(kButterworth4b),
        second(kButterworth4b)),  // 11 Link/Riley
};

}  // namespace

const SlopeRow& slopeRow(int code) {
    if (code < 0 || code >= kSlopeCodeCount) throw std::out_of_range("slope code");
    return kSlopeTable[static_cast<std::size_t>(code)];
}

}  // namespace kv
