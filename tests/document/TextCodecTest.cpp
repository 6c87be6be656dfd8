#include "document/file/TextCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

struct DecodeCase {
    const char* what;
    std::string utf8;
    std::u16string utf16;
};

TEST(TextCodec, DecodesWellFormedAndReplacesEachIllFormedPiece) {
    const std::vector<DecodeCase> cases{
        {"empty", "", u""},
        {"ascii", "Preset 0", u"Preset 0"},
        {"two bytes", "90\xC2\xB0", u"90\u00B0"},
        {"three bytes", "\xE2\x82\xAC", u"\u20AC"},
        {"four bytes to a pair", "\xF0\x9F\x8E\xB8", u"\U0001F3B8"},
        {"highest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"stray continuation", "a\x80z", u"a\uFFFDz"},
        {"invalid lead bytes", "\xC0\xC1\xF5\xFF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"truncated at end", "ab\xE2\x82", u"ab\uFFFD"},
        {"truncated before ascii", "\xF0\x9F\x8Ex", u"\uFFFDx"},
        {"lead then lead", "\xC3\xC3\xA9", u"\uFFFD\u00E9"},
    };
    for (const DecodeCase& c : cases) EXPECT_EQ(fromUtf8(c.utf8), c.utf16) << c.what;
}

TEST(TextCodec, EncodesPairsAndReplacesLoneSurrogates) {
    const std::vector<DecodeCase> cases{
        {"ascii", "Mains", u"Mains"},
        {"latin", "Caf\xC3\xA9", u"Caf\u00E9"},
        {"pair", "\xF0\x9F\x8E\xB8", u"\U0001F3B8"},
        {"U+FFFF", "\xEF\xBF\xBF", std::u16string(1, char16_t(0xFFFF))},
        {"lone high at end", "a\xEF\xBF\xBD", std::u16string{u'a', char16_t(0xD83C)}},
        {"lone low", "\xEF\xBF\xBDz", std::u16string{char16_t(0xDF38), u'z'}},
        {"high then high then low", "\xEF\xBF\xBD\xF0\x9F\x8E\xB8",
         std::u16string{char16_t(0xD83C), char16_t(0xD83C), char16_t(0xDFB8)}},
        {"embedded zero kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const DecodeCase& c : cases) EXPECT_EQ(toUtf8(c.utf16), c.utf8) << c.what;
}

TEST(TextCodec, EveryScalarValueRoundTrips) {
    for (char32_t c = 0; c <= 0x10FFFF; c += (c < 0x3000 ? 1 : 97)) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        std::u16string one;
        if (c < 0x10000) {
            one.push_back(static_cast<char16_t>(c));
        } else {
            one.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            one.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
        ASSERT_EQ(fromUtf8(toUtf8(one)), one) << static_cast<unsigned>(c);
    }
}

}  // namespace
}  // namespace kv
