#include "measurement/tuning/TuningTarget.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "measurement/MeasuredCurve.h"
#include "response/analog/AnalogElement.h"
#include "response/analog/FilterCurve.h"

namespace kv {

namespace {

GridCurve tiltCurve(const TuningTarget& target) {
    GridCurve curve{};
    const AnalogElement shelf =
        target.lowShelf ? analogElement(PeqLowShelf, target.shelfHz, kTargetShelfQ, target.shelfDb)
                        : AnalogElement{};
    for (int k = 0; k < kGridPoints; ++k) {
        const double hz = ResponseGrid::frequency(k);
        const double shelfDb = 20.0 * std::log10(std::abs(analogElementResponse(shelf, hz)));
        curve[static_cast<std::size_t>(k)] = target.tiltDbPerOctave * std::log2(hz) + shelfDb;
    }
    return curve;
}

GridCurve aligned(GridCurve curve) {
    const double offset = alignmentOffsetDb(curve);
    for (double& value : curve) value += offset;
    return curve;
}

std::string formatted(const char* format, double a, double b = 0.0, double c = 0.0) {
    std::array<char, 96> text{};
    std::snprintf(text.data(), text.size(), format, a, b, c);
    return text.data();
}

}  // namespace

std::string_view targetKindName(TargetKind kind) {
    switch (kind) {
        case TargetKind::Flat: return "flat";
        case TargetKind::Tilt: return "tilt";
        case TargetKind::File: return "file";
    }
    return "flat";
}

std::optional<TargetKind> targetKindFromName(std::string_view name) {
    for (const TargetKind kind : {TargetKind::Flat, TargetKind::Tilt, TargetKind::File})
        if (targetKindName(kind) == name) return kind;
    return std::nullopt;
}

GridCurve targetCurve(const TuningTarget& target) {
    switch (target.kind) {
        case TargetKind::Flat: return constantCurve(0.0);
        case TargetKind::Tilt: return aligned(tiltCurve(target));
        case TargetKind::File: return aligned(MeasuredCurve(target.filePoints).onGrid(Smoothing::None));
    }
    return absentCurve();
}

std::string targetProblem(const TuningTarget& target) {
    if (target.kind == TargetKind::Tilt) {
        if (!(std::fabs(target.tiltDbPerOctave) <= kMaxTiltDbPerOctave))
            return formatted("the tilt must lie between -%.0f and +%.0f dB per octave", kMaxTiltDbPerOctave,
                             kMaxTiltDbPerOctave);
        if (target.lowShelf && !(target.shelfHz >= kLowestShelfHz && target.shelfHz <= kHighestShelfHz))
            return formatted("the shelf frequency must lie between %.0f and %.0f Hz", kLowestShelfHz,
                             kHighestShelfHz);
        if (target.lowShelf && !(std::fabs(target.shelfDb) <= kMaxShelfDb))
            return formatted("the shelf gain must lie between -%.0f and +%.0f dB", kMaxShelfDb, kMaxShelfDb);
    }
    if (target.kind == TargetKind::File && MeasuredCurve(target.filePoints).empty())
        return "the target file holds no response";
    return {};
}

std::string targetText(const TuningTarget& target) {
    switch (target.kind) {
        case TargetKind::Flat: return "flat";
        case TargetKind::Tilt: {
            std::string text = formatted("tilt %+.1f dB/octave", target.tiltDbPerOctave);
            if (target.lowShelf)
                text += formatted(", shelf %+.1f dB at %.0f Hz", target.shelfDb, target.shelfHz);
            return text;
        }
        case TargetKind::File: return "file " + target.fileName;
    }
    return {};
}

}  // namespace kv
