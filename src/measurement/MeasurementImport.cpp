#include "measurement/MeasurementImport.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "document/file/AtomicFile.h"

namespace kv {

namespace {

constexpr double kHighestHz = 1.0e6;   // far above any audio measurement
constexpr double kLargestDb = 1000.0;  // far beyond any real level

struct Columns {
    std::size_t frequency = 0;
    std::size_t level = 1;
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view unquoted(std::string_view field) {
    field = trimmed(field);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
        field = field.substr(1, field.size() - 2);
    return trimmed(field);
}

// Semicolons or commas separate fields when the line has them (empty fields then count),
// white space otherwise.
std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    const char separator = line.find(';') != std::string_view::npos
                               ? ';'
                               : (line.find(',') != std::string_view::npos ? ',' : '\0');
    if (separator != '\0') {
        std::size_t start = 0;
        for (std::size_t end; (end = line.find(separator, start)) != std::string_view::npos; start = end + 1)
            fields.push_back(unquoted(line.substr(start, end - start)));
        fields.push_back(unquoted(line.substr(start)));
        return fields;
    }
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i])) ++i;
        if (i > start) fields.push_back(unquoted(line.substr(start, i - start)));
    }
    return fields;
}

std::optional<double> numberOf(std::string_view field) {
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);  // from_chars takes no '+'
    double value = 0.0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc{} || end != field.data() + field.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A field as a message can show it: printable ASCII only, and not too long.
std::string shown(std::string_view field) {
    constexpr std::size_t kShownChars = 24;
    std::string text;
    for (const char c : field.substr(0, kShownChars))
        text += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    if (field.size() > kShownChars) text += "...";
    return "\"" + text + "\"";
}

std::string lowered(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

bool containsAny(const std::string& text, std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(),
                       [&text](std::string_view word) { return text.find(word) != std::string::npos; });
}

// Columns named by a header row; columns it does not name keep the usual order.
Columns columnsOfHeader(const std::vector<std::string_view>& header) {
    Columns columns;
    std::optional<std::size_t> frequency;
    std::optional<std::size_t> level;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string name = lowered(header[i]);
        if (!frequency && containsAny(name, {"freq", "hz"}))
            frequency = i;
        else if (!level && containsAny(name, {"spl", "db", "mag", "level", "raw", "amplitude", "response"}))
            level = i;
    }
    columns.frequency = frequency.value_or(0);
    columns.level = level.value_or(columns.frequency == 0 ? 1 : 0);
    if (columns.level == columns.frequency) columns.level = columns.frequency + 1;
    return columns;
}

bool isComment(std::string_view line) {
    return line.front() == '*' || line.front() == '#' || line.front() == ';' || line.substr(0, 2) == "//";
}

class LineReader {
public:
    void read(std::string_view line, int number) {
        line = trimmed(line);
        if (line.empty() || isComment(line)) return;
        const std::vector<std::string_view> fields = fieldsOf(line);
        if (fields.empty()) return;
        if (!sawData_ && !sawHeader_ && !numberOf(fields.front())) {
            sawHeader_ = true;
            columns_ = columnsOfHeader(fields);
            return;
        }
        sawData_ = true;
        if (const std::string problem = readPoint(fields); !problem.empty())
            addError("line " + std::to_string(number) + ": " + problem);
    }

    MeasurementImport finish() {
        MeasurementImport result;
        if (leftOut_ > 0) errors_.push_back("... and " + std::to_string(leftOut_) + " more bad lines");
        if (errors_.empty()) {
            result.points = normalisedPoints(std::move(points_));
            if (result.points.empty())
                errors_.push_back("no frequency response points found");
            else if (result.points.size() < 2)
                errors_.push_back("only one frequency found; a response needs at least two");
        }
        if (!errors_.empty()) result.points.clear();
        result.errors = std::move(errors_);
        return result;
    }

private:
    std::string readPoint(const std::vector<std::string_view>& fields) {
        if (fields.size() <= std::max(columns_.frequency, columns_.level) ||
            fields[columns_.frequency].empty() || fields[columns_.level].empty())
            return "needs a frequency and a level in dB";
        const std::string_view hzField = fields[columns_.frequency];
        const std::string_view dbField = fields[columns_.level];
        const std::optional<double> hz = numberOf(hzField);
        if (!hz) return shown(hzField) + " is not a number";
        const std::optional<double> db = numberOf(dbField);
        if (!db) return shown(dbField) + " is not a number";
        if (*hz <= 0.0 || *hz > kHighestHz) return "frequency " + shown(hzField) + " is out of range";
        if (std::fabs(*db) > kLargestDb) return "level " + shown(dbField) + " is out of range";
        points_.push_back({*hz, *db});
        return {};
    }

    void addError(std::string message) {
        if (errors_.size() < kMaxListedLineErrors)
            errors_.push_back(std::move(message));
        else
            ++leftOut_;
    }

    Columns columns_;
    bool sawHeader_ = false;
    bool sawData_ = false;
    std::vector<FrequencyPoint> points_;
    std::vector<std::string> errors_;
    std::size_t leftOut_ = 0;
};

}  // namespace

MeasurementImport parseMeasurementText(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    LineReader reader;
    int number = 1;
    for (std::size_t start = 0; start <= text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        reader.read(text.substr(start, end - start), number);
        start = end + 1;
    }
    return reader.finish();
}

MeasurementImport readMeasurementFile(const std::string& path) {
    const std::string tooLarge = path + ": too large to be a frequency response export";
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxMeasurementFileBytes) return {{}, {tooLarge}};
    // When the size cannot be had (no such file, not a regular file) the read says why.
    const std::size_t expected = ec ? kMaxMeasurementFileBytes : static_cast<std::size_t>(size);
    std::vector<std::uint8_t> bytes;
    if (const FileResult read = readFilePrefix(path, expected + 1, bytes); !read.ok)
        return {{}, {read.error}};
    if (bytes.size() > kMaxMeasurementFileBytes) return {{}, {tooLarge}};
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    MeasurementImport result = parseMeasurementText(text);
    for (std::string& error : result.errors) error = path + ": " + error;
    return result;
}

}  // namespace kv
