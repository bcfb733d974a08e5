#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "commands/value_format.h"
#include "platform/text_codec.h"

namespace mt {
namespace {

// The GB18030 bytes of a UTF-8 expectation.
std::string Gb(const char* utf8)
{
    std::string gb;
    EXPECT_TRUE(platform::Utf8ToGb(utf8, &gb));
    return gb;
}

std::string Format(const ValueRecord& v)
{
    std::string out = "unchanged";
    EXPECT_TRUE(FormatScalarValue(v, &out));
    return out;
}

ValueRecord DateTime(double days) { return MakeDouble(days, kTypeDateTime); }
// A day count plus a time of day.
double At(double day, int hour, int minute, int second) { return day + (hour * 3600 + minute * 60 + second) / 86400.0; }

TEST(ValueFormatTest, Integers)
{
    EXPECT_EQ(Format({0xFFFFFF80, kTypeByte}), "128");
    EXPECT_EQ(Format({0xFFFF, kTypeShort}), "-1");
    EXPECT_EQ(Format(MakeInt(0)), "0");
    EXPECT_EQ(Format(MakeInt(-5)), "-5");
    EXPECT_EQ(Format(MakeInt(INT32_MIN)), "-2147483648");
    EXPECT_EQ(Format({0xFFFFFFFF00000007, kTypeInt}), "7");
    EXPECT_EQ(Format(MakeLong(INT64_MIN)), "-9223372036854775808");
}

TEST(ValueFormatTest, FloatsRoundHalvesUpToSixDigits)
{
    struct Case {
        float value;
        const char* expected;
    };
    const Case cases[] = {
        {0.1f, "0.1"},
        {1.0f / 3.0f, "0.333333"},
        {2.5f, "2.5"},
        // Exactly halfway: "%.6g" alone would round to the even 123456.
        {123456.5f, "123457"},
        {-123456.5f, "-123457"},
        {1234567.0f, "1.23457e+06"},
        {9999995.0f, "1e+07"},
        {1e-10f, "1e-10"},
        {std::numeric_limits<float>::max(), "3.40282e+38"},
        {std::numeric_limits<float>::denorm_min(), "1.4013e-45"},
        {0.0f, "0"},
        {-0.0f, "-0"},
        {std::numeric_limits<float>::infinity(), "inf"},
        {-std::numeric_limits<float>::infinity(), "-inf"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Format(MakeFloat(c.value)), c.expected) << c.value;
}

TEST(ValueFormatTest, DoublesKeepThirteenDigits)
{
    EXPECT_EQ(Format(MakeDouble(0.1)), "0.1");
    EXPECT_EQ(Format(MakeDouble(1.0 / 3.0)), "0.3333333333333");
    EXPECT_EQ(Format(MakeDouble(123456789012345.0)), "1.234567890123e+14");
    EXPECT_EQ(Format(MakeDouble(-2.5)), "-2.5");
    EXPECT_EQ(Format(MakeDouble(1e100)), "1e+100");
}

TEST(ValueFormatTest, Booleans)
{
    EXPECT_EQ(Format(MakeBool(true)), Gb("真"));
    EXPECT_EQ(Format({2, kTypeBool}), Gb("真"));
    EXPECT_EQ(Format(MakeBool(false)), Gb("假"));
    EXPECT_EQ(Format({0xFFFFFFFF00000000, kTypeBool}), Gb("假")); // only the low word counts
}

TEST(ValueFormatTest, DateTimesShowOnlyTheTimePartsThatAreSet)
{
    struct Case {
        double days;
        const char* expected;
    };
    const Case cases[] = {
        {0, "1899年12月30日"},
        {2, "1900年1月1日"},
        {60, "1900年2月28日"},
        {61, "1900年3月1日"},
        {45292, "2024年1月1日"},
        {At(45292, 12, 0, 0), "2024年1月1日12时"},
        {At(45292, 13, 5, 0), "2024年1月1日13时5分"},
        {At(45292, 13, 5, 7), "2024年1月1日13时5分7秒"},
        {At(45292, 0, 30, 0), "2024年1月1日0时30分"},
        {At(45292, 0, 0, 1), "2024年1月1日0时0分1秒"},
        {45292.99999999, "2024年1月2日"}, // rounds to midnight of the next day
        {-1.25, "1899年12月29日6时"},     // the fraction of a negative count is the time of day
        {-1.99999999, "1899年12月30日"},
        {-657434, "100年1月1日"},
        {2958465, "9999年12月31日"},
        // Clamped to 1 January 100 … 31 December 9999.
        {-1e9, "100年1月1日"},
        {1e300, "9999年12月31日"},
        {2958465.75, "9999年12月31日"},
        {-std::numeric_limits<double>::infinity(), "100年1月1日"},
        {std::numeric_limits<double>::quiet_NaN(), "1899年12月30日"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Format(DateTime(c.days)), Gb(c.expected)) << c.days;
}

TEST(ValueFormatTest, OtherTypesAreNotFormatted)
{
    const ValueRecord others[] = {Omitted(), MakePointer("a", kTypeText), {0, kTypeBytes}, {1, kTypeInt | kArrayBit}, {1, kTypeSubroutine}, MakeComponentRef(1, 2, 0x00010005)};
    for (const ValueRecord& v : others) {
        std::string out = "unchanged";
        EXPECT_FALSE(FormatScalarValue(v, &out)) << std::hex << v.type;
        EXPECT_EQ(out, "unchanged");
    }
}

} // namespace
} // namespace mt
