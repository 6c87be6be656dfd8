#pragma once
// Reading a frequency response that a measurement program exported as text: the
// "Export measurement as text" form (comment lines starting with '*', then "freq spl
// phase"), .frd/.txt files ("freq dB [phase]") and CSV files with a header row. Fields
// are separated by white space, commas or semicolons; numbers use a decimal point.
// Lines starting with '*', '#' or ';' are comments. A header row (text before the first
// number) may name the columns; otherwise the first two columns are frequency and level.

#include <string>
#include <string_view>
#include <vector>

#include "measurement/FrequencyPoint.h"

namespace kv {

struct MeasurementImport {
    std::vector<FrequencyPoint> points;  // sorted, one per frequency
    std::vector<std::string> errors;     // one line each, "line 12: ..."; empty when it worked
    bool ok() const { return errors.empty(); }
};

// At most this many line errors are listed; one more line says how many were left out.
inline constexpr std::size_t kMaxListedLineErrors = 10;
// Larger files are refused: no export of a response comes near it.
inline constexpr std::size_t kMaxMeasurementFileBytes = 16u << 20;

// Parses the text; any bad line makes the whole import fail with that line named, so a
// half-read response is never used.
MeasurementImport parseMeasurementText(std::string_view text);

// Reads and parses a file; a file that cannot be read gives one error naming it.
MeasurementImport readMeasurementFile(const std::string& path);

}  // namespace kv
