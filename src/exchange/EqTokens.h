#pragma once
// The lexical pieces of the filter text formats: lines (UTF-8 with or without BOM, CRLF
// or LF), words, "Name N:" commands and numbers with an optional unit. Nothing here knows
// what a filter is; EqFileParser gives the pieces their meaning.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// The lines of text without their line ends, after a UTF-8 byte order mark.
std::vector<std::string_view> splitEqLines(std::string_view text);

// True for well-formed UTF-8 without control characters (a tab is allowed).
bool isPlainText(std::string_view line);

// Words separated by spaces and tabs.
std::vector<std::string_view> splitWords(std::string_view text);

// ASCII letters compared without regard to case.
bool sameWord(std::string_view a, std::string_view b);

// "Filter 3: ON PK ..." -> name "Filter", number 3, rest "ON PK ...". The name is letters
// only and the number optional; anything else before the first colon is no command.
struct EqCommand {
    std::string_view name;
    std::optional<long> number;
    std::string_view rest;
};
std::optional<EqCommand> commandOf(std::string_view line);

// A decimal number (an optional sign, a point, an exponent), optionally followed by unit
// ("Hz", "dB") written on to it. value is set when it reads; problem says why not.
struct NumberRead {
    std::optional<double> value;
    std::string problem;
};
NumberRead readNumber(std::string_view word, std::string_view unit = {});

// A piece of the file for a message: in double quotes, at most 40 bytes before "...".
std::string quotedPiece(std::string_view piece);

// The text cut to at most maximum bytes (whole characters) with "..." after a cut.
std::string shortened(std::string_view text, std::size_t maximum);

// Formats a double the way the messages show it ("%g").
std::string shortNumber(double value);

}  // namespace kv
