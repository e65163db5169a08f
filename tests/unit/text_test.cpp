// IntText, FloatText and TextValue: the program's own number texts.
#include "app/toolkit/toolkit.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace {

std::string Show(const Text& text) {
    return Utf8FromText(text);
}

TEST(IntText, MatchesTheDecimalTextOfEveryMagnitude) {
    const int64_t values[] = {
        0,     1,       -1,        9,         10,        255,       -255,
        92160, 1843200, INT32_MAX, INT32_MIN, INT64_MAX, INT64_MIN, INT64_MIN + 1};
    for (int64_t value : values) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "%" PRId64, value);
        EXPECT_EQ(Show(IntText(value)), expected);
    }
}

// glibc prints the exact binary value rounded half to even: the reference
// here. Other C runtimes differ, which is why the program has its own code.
TEST(FloatText, AgreesWithExactRoundingOnRandomFloats) {
    std::mt19937 random(20130415);
    std::uniform_int_distribution<uint32_t> bits;
    for (int i = 0; i < 20000; ++i) {
        uint32_t pattern = bits(random);
        float value;
        std::memcpy(&value, &pattern, sizeof value);
        if (std::isnan(value) || std::isinf(value) || std::fabs(value) > 1e12f)
            continue;
        int decimals = static_cast<int>(pattern % 7);
        char expected[128];
        std::snprintf(expected, sizeof expected, "%.*f", decimals, static_cast<double>(value));
        ASSERT_EQ(Show(FloatText(value, decimals)), expected) << pattern;
    }
}

TEST(FloatText, RoundsTiesToEvenOnTheExactValue) {
    struct {
        float value;
        int decimals;
        const char* text;
    } cases[] = {
        {0.125f, 2, "0.12"}, {0.375f, 2, "0.38"},
        {2.5f, 0, "2"},      {3.5f, 0, "4"},
        {0.005f, 2, "0.00"}, // 0.005f lies just below 0.005
        {1.005f, 2, "1.00"}, // and so does 1.005f below 1.005
        {0.0f, 2, "0.00"},   {-0.0f, 2, "-0.00"},
        {1e-45f, 2, "0.00"}, {3.4028235e38f, 0, "340282346638528859811704183484516925440"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Show(FloatText(c.value, c.decimals)), c.text) << c.value;
}

TEST(FloatText, NamesValuesThatAreNoNumbers) {
    EXPECT_EQ(Show(FloatText(std::numeric_limits<float>::infinity(), 2)), "inf");
    EXPECT_EQ(Show(FloatText(-std::numeric_limits<float>::infinity(), 2)), "-inf");
    EXPECT_EQ(Show(FloatText(std::numeric_limits<float>::quiet_NaN(), 2)), "nan");
}

TEST(TextValue, ReadsTheNumberAtTheStartOfAText) {
    struct {
        const char16_t* text;
        int64_t value;
    } cases[] = {
        {u"921600", 921600},
        {u"115200 more", 115200},
        {u"  \t 42", 42},
        {u"+7", 7},
        {u"-1", -1},
        {u"$80", 128},
        {u"$ff", 255},
        {u"$FFx", 255},
        {u"%1010", 10},
        {u"%102", 2},
        {u"-$10", -16},
        {u"", 0},
        {u"aus", 0},
        {u"AUS", 0},
        {u"abc", 0},
        {u" - 5", 0},
        {u"$", 0},
        {u"%", 0},
        {u"+-3", 0},
        {u"12.5", 12},
        {u"\n5", 0},
        {u"\u0665", 0}, // an Arabic-Indic digit is no digit here
        {u"9223372036854775807", INT64_MAX},
        {u"-9223372036854775808", INT64_MIN},
        {u"4294967296", 4294967296LL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextValue(c.text), c.value) << Show(c.text);
}

TEST(TextValue, KeepsTheLowBitsOfAnOverlongNumber) {
    // 2^64 + 5 wraps to 5; 18446744073709551615 (2^64 - 1) reads as -1.
    EXPECT_EQ(TextValue(u"18446744073709551621"), 5);
    EXPECT_EQ(TextValue(u"18446744073709551615"), -1);
    EXPECT_EQ(TextValue(u"$1FFFFFFFFFFFFFFFF"), -1);
    // The low 32 bits of a baud text beyond 32 bits, as the link reads it.
    EXPECT_EQ(static_cast<int32_t>(TextValue(u"4295888896")), 921600);
}

TEST(TextValue, SurvivesRandomTexts) {
    std::mt19937 random(1843200);
    Text alphabet = u" \t+-$%0123456789abcdefABCDEFxyzäµ\uFFFF";
    alphabet.push_back(0);
    alphabet.push_back(static_cast<char16_t>(0xD800));
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int i = 0; i < 20000; ++i) {
        Text text;
        int n = length(random);
        for (int k = 0; k < n; ++k)
            text.push_back(alphabet[pick(random)]);
        int64_t value = TextValue(text);
        // Reading a text, then its number's text, gives the number back.
        EXPECT_EQ(TextValue(IntText(value)), value);
    }
}

TEST(Utf8, RoundTripsAndMarksBrokenInput) {
    Text text = u"Höhe µ € \U0001F600";
    EXPECT_EQ(TextFromUtf8(Utf8FromText(text)), text);
    EXPECT_EQ(TextFromUtf8("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(TextFromUtf8("\xFF"), u"\uFFFD");
    EXPECT_EQ(Utf8FromText(Text(1, static_cast<char16_t>(0xD800))), "\xEF\xBF\xBD");
}

} // namespace
