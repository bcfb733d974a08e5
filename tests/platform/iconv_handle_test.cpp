// The owned iconv descriptor: what one conversion step answers, the shift
// state it keeps and forgets, and ownership passing on a move.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <utility>

#include "platform/iconv_handle.h"

namespace mt::platform {
namespace {

struct Step {
    int error;
    std::string out;
    size_t inLeft;
};

// One convert call over `in` into an output of `room` bytes.
Step ConvertOnce(IconvHandle& cd, std::string_view in, size_t room = 64)
{
    std::string out(room, '\0');
    const char* ip = in.data();
    size_t il = in.size();
    char* op = out.data();
    size_t ol = out.size();
    const int error = cd.convert(&ip, &il, &op, &ol);
    EXPECT_EQ(ip, in.data() + (in.size() - il)); // the input moved on by what was taken
    out.resize(room - ol);
    return {error, out, il};
}

TEST(IconvHandle, OneStepAnswersWhatIconvFound)
{
    const struct {
        const char* to;
        const char* from;
        std::string_view in;
        size_t room;
        Step want;
    } cases[] = {
        {"UTF-8", "GB18030", "a\xD6\xD0", 64, {0, "a\xE4\xB8\xAD", 0}}, // all of it
        {"UTF-8", "GB18030", "ab\xD6\xD0", 3, {E2BIG, "ab", 2}},        // output full before the character
        {"GB18030", "UTF-8", "a\xFF"
                             "b",
         64,
         {EILSEQ, "a", 2}},                                                                  // stops at the bad byte
        {"GB18030", "UTF-8", "a\xE4\xB8", 64, {EINVAL, "a", 2}},                             // a character cut short
        {"UTF-16LE", "GB18030", "\x81\x30\x81\x30", 64, {0, std::string("\x80\x00", 2), 0}}, // four bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to << " room " << c.room);
        IconvHandle cd(c.to, c.from);
        ASSERT_TRUE(cd.valid());
        const Step got = ConvertOnce(cd, c.in, c.room);
        EXPECT_EQ(got.error, c.want.error);
        EXPECT_EQ(got.out, c.want.out);
        EXPECT_EQ(got.inLeft, c.want.inLeft);
    }
}

TEST(IconvHandle, ResetStateForgetsAShiftSequence)
{
    IconvHandle cd("UTF-8", "ISO-2022-JP");
    ASSERT_TRUE(cd.valid());
    EXPECT_EQ(ConvertOnce(cd, "\x1B$B").out, "");         // into JIS X 0208
    EXPECT_EQ(ConvertOnce(cd, "0!").out, "\xE4\xBA\x9C"); // one kanji from two bytes
    cd.resetState();
    EXPECT_EQ(ConvertOnce(cd, "0!").out, "0!"); // ASCII again
}

TEST(IconvHandle, AnUnknownNameOrAMovedFromHandleIsNotValidAndConvertsNothing)
{
    IconvHandle unknown("UTF-8", "NO-SUCH-CHARSET");
    EXPECT_FALSE(unknown.valid());
    EXPECT_EQ(ConvertOnce(unknown, "abc").error, EBADF);
    unknown.resetState(); // harmless

    IconvHandle first("UTF-8", "GB18030");
    IconvHandle second(std::move(first));
    EXPECT_FALSE(first.valid()); // NOLINT(bugprone-use-after-move): the moved-from state is the point
    EXPECT_EQ(ConvertOnce(first, "a").inLeft, 1u);
    ASSERT_TRUE(second.valid());
    EXPECT_EQ(ConvertOnce(second, "\xD6\xD0").out, "\xE4\xB8\xAD");

    IconvHandle third;
    EXPECT_FALSE(third.valid());
    third = std::move(second);    // the descriptor passes on; the empty one had nothing to close
    EXPECT_FALSE(second.valid()); // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(ConvertOnce(third, "\xD6\xD0").out, "\xE4\xB8\xAD");
    third = IconvHandle("UTF-8", "UTF-16LE"); // the old descriptor is closed, the new one kept
    EXPECT_EQ(ConvertOnce(third, std::string_view("a\0", 2)).out, "a");
}

} // namespace
} // namespace mt::platform
