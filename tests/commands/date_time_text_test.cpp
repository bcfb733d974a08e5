// Reading date-times from text: the accepted forms, what is refused, and the
// day counts of known moments.
#include <gtest/gtest.h>

#include <string>

#include "commands/date_time_text.h"
#include "platform/text_codec.h"

namespace mt {
namespace {

std::string Gb(const char* utf8)
{
    std::string gb;
    EXPECT_TRUE(platform::Utf8ToGb(utf8, &gb));
    return gb;
}

TEST(DateTimeText, AcceptedForms)
{
    const struct {
        std::string text;
        CivilDateTime t;
    } cases[] = {
        {Gb("2024年3月5日"), {2024, 3, 5, 0, 0, 0}},
        {Gb("2024年03月05"), {2024, 3, 5, 0, 0, 0}},
        {Gb(" 2024年3月5日14时 "), {2024, 3, 5, 14, 0, 0}},
        {Gb("2024年3月5日14时30分"), {2024, 3, 5, 14, 30, 0}},
        {Gb("2024年3月5日 14时30分9秒"), {2024, 3, 5, 14, 30, 9}},
        {"2024-03-05", {2024, 3, 5, 0, 0, 0}},
        {"2024/3/5 7:08", {2024, 3, 5, 7, 8, 0}},
        {"2024.3.5 23:59:59", {2024, 3, 5, 23, 59, 59}},
        {"2000-02-29", {2000, 2, 29, 0, 0, 0}},
        {"100-1-1", {100, 1, 1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        CivilDateTime t;
        ASSERT_TRUE(ReadDateTimeText(c.text, &t)) << c.text;
        EXPECT_EQ(t.year, c.t.year) << c.text;
        EXPECT_EQ(t.month, c.t.month) << c.text;
        EXPECT_EQ(t.day, c.t.day) << c.text;
        EXPECT_EQ(t.hour, c.t.hour) << c.text;
        EXPECT_EQ(t.minute, c.t.minute) << c.text;
        EXPECT_EQ(t.second, c.t.second) << c.text;
    }
}

TEST(DateTimeText, RefusedTexts)
{
    const std::string cases[] = {
        "",
        "2024",
        "2024-03",
        "2024-03/05",
        "2024-13-01",
        "2023-02-29",
        "1900-02-29",
        "99-1-1",
        "10000-1-1",
        "2024-3-5 24:00",
        "2024-3-5 12:60",
        "2024-3-5 12:00:60",
        "2024-3-5 12",
        "2024-3-5x",
        "2024-3-5 12:00:",
        Gb("2024年3月"),
        Gb("2024年3月5日14时30"),
        Gb("2024年3月5日14时30分9"),
        "abc",
        "2024-003-5",
    };
    for (const std::string& text : cases) {
        CivilDateTime t;
        EXPECT_FALSE(ReadDateTimeText(text, &t)) << text;
    }
}

TEST(DateTimeText, DayCountsFromDayZero)
{
    const struct {
        CivilDateTime t;
        double days;
    } cases[] = {
        {{1899, 12, 30, 0, 0, 0}, 0},
        {{1970, 1, 1, 0, 0, 0}, 25569},
        {{2000, 1, 1, 12, 0, 0}, 36526.5},
        {{1899, 12, 29, 6, 0, 0}, -1.25},
        {{100, 1, 1, 0, 0, 0}, -657434},
        {{9999, 12, 31, 0, 0, 0}, 2958465},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(DayCount(c.t), c.days) << c.t.year << "-" << c.t.month << "-" << c.t.day;
}

} // namespace
} // namespace mt
