#include "cli/exchange/EqImportReport.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ostream>
#include <vector>

namespace kv {

namespace {

// Characters, not bytes, so names with accents stay aligned.
std::size_t columnsOf(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(
        utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string padded(const std::string& text, std::size_t width) {
    const std::size_t columns = columnsOf(text);
    return columns < width ? text + std::string(width - columns, ' ') : text;
}

std::string decibels(double value) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.2f dB", value);
    return text.data();
}

std::string shownNote(const ImportRow& row) {
    if (row.status == RowStatus::Refused) return "refused: " + row.note;
    return row.note;
}

}  // namespace

void writeImportReport(std::ostream& out, const ImportMapping& mapping, const EqFile& file) {
    if (!mapping.rows.empty()) {
        const std::string lineHead = "line", requestedHead = "requested", setHead = "set";
        std::size_t requestedWidth = requestedHead.size(), setWidth = setHead.size();
        for (const ImportRow& row : mapping.rows) {
            requestedWidth = std::max(requestedWidth, columnsOf(row.requested));
            setWidth = std::max(setWidth, columnsOf(row.set.empty() ? "-" : row.set));
        }
        out << lineHead << "  " << padded(requestedHead, requestedWidth) << "  " << padded(setHead, setWidth)
            << "  note\n";
        for (const ImportRow& row : mapping.rows) {
            std::string line = std::to_string(row.line);
            line = std::string(lineHead.size() > line.size() ? lineHead.size() - line.size() : 0, ' ') + line;
            std::string text = line + "  " + padded(row.requested, requestedWidth) + "  " +
                               padded(row.set.empty() ? "-" : row.set, setWidth) + "  " + shownNote(row);
            text.erase(text.find_last_not_of(' ') + 1);
            out << text << '\n';
        }
        out << "Worst difference from the requested response, 20 Hz to 20 kHz: "
            << decibels(mapping.worstDifferenceDb) << '\n';
        if (mapping.unmodelled > 0)
            out << "(" << mapping.unmodelled << " refused "
                << (mapping.unmodelled == 1 ? "filter is" : "filters are") << " not in this figure)\n";
    }
    for (const EqMessage& message : file.messages)
        if (message.kind == EqMessageKind::Ignored)
            out << "line " << message.line << ": " << message.text << '\n';
}

void writeEqFileErrors(std::ostream& err, const EqFile& file, const std::string& path) {
    for (const EqMessage& message : file.messages) {
        if (message.kind != EqMessageKind::Error) continue;
        err << path << ':';
        if (message.line > 0) err << message.line << ':';
        err << ' ' << message.text << '\n';
    }
    if (file.messagesLeftOut > 0)
        err << path << ": " << file.messagesLeftOut << " more lines with messages are not shown\n";
}

}  // namespace kv
