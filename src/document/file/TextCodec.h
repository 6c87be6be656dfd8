#pragma once
// Conversion between the bank's UTF-16 texts (names, notes) and the UTF-8 that the
// command line, file names and the GUI's QString::fromUtf8 use. Broken input never
// fails: each ill-formed piece becomes U+FFFD, so a damaged name still shows.

#include <string>
#include <string_view>

namespace kv {

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);

// UTF-8 to UTF-16; each maximal ill-formed subsequence (overlong forms, encoded
// surrogates, values above U+10FFFF, stray or missing continuation bytes) becomes one
// U+FFFD. Characters above U+FFFF become surrogate pairs.
std::u16string fromUtf8(std::string_view text);

}  // namespace kv
