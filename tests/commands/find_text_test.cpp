#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "commands/command_call.h"
#include "commands/find_text.h"
#include "commands/find_text_reference.h"
#include "commands/text_commands.h"
#include "support/malloc_service.h"

namespace mt {
namespace {

using test::CallCommand;
using test::Text;

constexpr ValueRecord kNoStart = {0, kTypeNone};
constexpr ValueRecord kNoFlag = {0, kTypeNone};

// Calls the command on an exact-size heap copy of the text (the shared
// empty text for an empty one), so that the sanitizers see any read behind
// the terminator.
int32_t Find(const std::string& text, const std::string& sought, ValueRecord start = kNoStart,
             ValueRecord flag = kNoFlag)
{
    TextValue copy = NewText(text);
    const int32_t found = AsInt32(CallCommand(寻找文本, {Text(copy ? copy : ""), Text(sought.c_str()), start, flag}));
    svc::Free(copy);
    return found;
}

struct FindCase {
    const char* text;
    const char* sought;
    ValueRecord start;
    ValueRecord flag;
    int32_t expected;
};

TEST(FindTextTest, AnswersTheDocumentedCases)
{
    const FindCase cases[] = {
        {"xyzxyz", "yz", kNoStart, kNoFlag, 2},
        {"xyzxyz", "yz", MakeInt(3), kNoFlag, 5},
        {"xyzxyz", "yz", MakeInt(6), kNoFlag, -1},
        {"xyzxyz", "yz", MakeInt(7), kNoFlag, -1},
        {"xyzxyz", "yz", MakeInt(100), kNoFlag, -1},
        {"xyzxyz", "yz", MakeInt(0), kNoFlag, 2},
        {"xyzxyz", "yz", MakeInt(-4), kNoFlag, 2},
        // The empty sought text: 1 whenever the window holds a byte.
        {"xyz", "", kNoStart, kNoFlag, 1},
        {"xyz", "", MakeInt(3), kNoFlag, 1},
        {"xyz", "", MakeInt(4), kNoFlag, -1},
        {"", "", kNoStart, kNoFlag, -1},
        {"", "a", kNoStart, kNoFlag, -1},
        // Case folding only for the flag value 1.
        {"XYZ", "yz", kNoStart, MakeBool(true), 2},
        {"XYZ", "yz", kNoStart, MakeBool(false), -1},
        {"XYZ", "yz", kNoStart, kNoFlag, -1},
        {"XYZ", "yz", kNoStart, {2, kTypeBool}, -1},
        {"xyz", "YZ", kNoStart, MakeBool(true), 2},
        {"@[", "`{", kNoStart, MakeBool(true), -1},
        // B0 D6 D0 D0: D6 D0 begins on a trail byte.
        {"\xB0\xD6\xD0\xD0", "\xD6\xD0", kNoStart, kNoFlag, -1},
        // Boundaries are counted from the start offset.
        {"\xB0\xD6\xD0\xD0", "\xD6\xD0", MakeInt(2), kNoFlag, 2},
        {"\xD6\xD0\x41", "\xD0\x41", MakeInt(2), kNoFlag, 2},
        // A match at a last lead byte is found; stepping over one ends the search.
        {"\x61\xB0", "\xB0", kNoStart, kNoFlag, 2},
        {"\xB0\xB0", "\xB0", kNoStart, kNoFlag, 1},
        {"\xB1\xB0", "\xB0", kNoStart, kNoFlag, -1},
        {"a\xB0", "x", kNoStart, kNoFlag, -1},
        // Folding reaches trail bytes: B0 41 is one character.
        {"\xB0\x41", "\xB0\x61", kNoStart, MakeBool(true), 1},
        {"\xB0\x41", "\xB0\x61", kNoStart, kNoFlag, -1},
        // Positions count from the start of the text, not from the start offset.
        {"abcabc", "c", MakeInt(4), kNoFlag, 6},
        // Four-byte characters (lead, digit, lead, digit) are stepped over whole:
        // 귭가 holds the bytes of 귬 across its two characters.
        {"\x82\x38\x82\x38\x82\x37\xCF\x35", "\x82\x38\x82\x37", kNoStart, kNoFlag, -1},
        {"\x82\x38\x82\x38\x82\x37\xCF\x35", "\x82\x37", kNoStart, kNoFlag, 5},
        {"\x82\x38\x82\x38\x82\x37\xCF\x35", "\x82\x38\x82\x37", MakeInt(3), kNoFlag, 3},
        // Not four bytes: 0x80 and 0xFF lead no such character, a digit must follow each lead.
        {"\x80\x38\x82\x38", "\x82\x38", kNoStart, kNoFlag, 3},
        {"\x82\x38\xFF\x38", "\xFF\x38", kNoStart, kNoFlag, 3},
        {"\x82\x38\x82\x41\x82\x38", "\x82\x41", kNoStart, kNoFlag, 3},
    };
    test::MallocService heap;
    for (const FindCase& c : cases) {
        EXPECT_EQ(Find(c.text, c.sought, c.start, c.flag), c.expected)
            << "text " << testing::PrintToString(std::string(c.text)) << " sought "
            << testing::PrintToString(std::string(c.sought)) << " start " << AsInt32(c.start);
    }
}

TEST(FindTextTest, StartsNearTheIntegerLimits)
{
    test::MallocService heap;
    EXPECT_EQ(Find("xyzxyz", "yz", MakeInt(INT32_MIN)), 2);
    EXPECT_EQ(Find("xyzxyz", "yz", MakeInt(INT32_MIN + 1)), 2);
    EXPECT_EQ(Find("xyzxyz", "yz", MakeInt(INT32_MAX)), -1);
    EXPECT_EQ(Find("xyzxyz", "", MakeInt(INT32_MAX)), -1);
    EXPECT_EQ(Find("xyzxyz", "", MakeInt(INT32_MIN)), 1);
}

TEST(FindTextTest, NullTextPayloadsReadAsEmpty)
{
    test::MallocService heap;
    const ValueRecord none = MakePointer(nullptr, kTypeText);
    EXPECT_EQ(AsInt32(CallCommand(寻找文本, {none, Text("a")})), -1);
    EXPECT_EQ(AsInt32(CallCommand(寻找文本, {Text("abc"), none})), 1);
    EXPECT_EQ(AsInt32(CallCommand(寻找文本, {Text("abc"), Text("c")})), 3); // fewer than four arguments
}

// Runs of lead bytes that cross the 64-byte blocks of the fast scan: the
// parity of a run decides whether the byte behind it begins a character.
TEST(FindTextTest, RunsOfHighBytesAcrossBlocks)
{
    test::MallocService heap;
    for (int run = 60; run <= 200; ++run) {
        std::string text(1, 'a');
        text.append(static_cast<size_t>(run), '\xB0').append("xy").append(70, 'q');
        const int32_t expected = run % 2 == 1 ? run + 1 : -1; // odd run: its last B0 leads "x"
        EXPECT_EQ(Find(text, "\xB0xy"), expected) << "run " << run;
        EXPECT_EQ(Find(text, "xy"), run % 2 == 0 ? run + 2 : -1) << "run " << run;
    }
}

// Stretches of many blocks that show no candidate (or none on a boundary),
// then one that does: the walk's state must be brought across the stretch,
// whether it holds bytes that start the walk afresh (ASCII other than
// digits) or none, and also where a four-byte character begins on a
// stretch's last byte. Every block tests path, both ways of knowing the end.
TEST(FindTextTest, CandidatesAfterLongStretches)
{
    test::MallocService heap;
    // The last filler holds, on a trail byte, what the filter looks at of
    // the last sought text, which the last tail holds on the third byte of
    // a four-byte character.
    const char* const fillers[] = {"\x81\x30\x81\x30", "\xB0\xA1", "\xB0\x31\xB0\xA1", "\xB0\x31z\x82\x35\x90\x36",
                                   "\xB0\x81\xC0\xB0\xA1\xA1"};
    const char* const tails[] = {"xy\x81\x30\x81\x30\xB0\x31\xA1\xB0qq", "\x81\x30\x81\x30\xB0\xA1qq"};
    const char* const sought[] = {"\x81\x30", "\x30\x81", "\xA1\xB0", "\x31\xB0", "xy", "\x90\x36xy", "\x81\x30\xB0\xA1"};
    for (const char* filler : fillers) {
        for (const char* prefix : {"", "\xB0", "\x81\x30", "a\xB0\x31"}) {
            for (int copies = 20; copies < 70; ++copies) {
                for (const char* tail : tails) {
                    std::string text = prefix;
                    for (int k = 0; k < copies; ++k)
                        text += filler;
                    text += tail;
                    const std::vector<char> exact(text.begin(), text.end());
                    for (const char* s : sought) {
                        const int32_t expected = test::ReferenceFindText(text.c_str(), s, false, 0, false, 0);
                        ASSERT_EQ(Find(text, s), expected) << testing::PrintToString(text) << " sought " << testing::PrintToString(std::string(s));
                        for (ScanKind kind : {ScanKind::kPortable, ScanKind::kSse2, ScanKind::kAvx2}) {
                            const int64_t known = FindTextOffsetUsing(kind, std::string_view(exact.data(), exact.size()), s, 0, false);
                            ASSERT_EQ(known < 0 ? -1 : known + 1, expected) << "kind " << static_cast<int>(kind) << " " << testing::PrintToString(text);
                            ASSERT_EQ(FindTextOffsetInTerminatedUsing(kind, text.c_str(), s, 0, false), known);
                        }
                    }
                }
            }
        }
    }
}

// Random texts of ASCII letters, double-byte characters, four-byte
// characters (alone and in long runs) and stray lead bytes, sought texts
// cut from them (often off a boundary, or halves of four-byte characters)
// or made up.
class RandomCases {
public:
    explicit RandomCases(uint32_t seed) : rng_(seed) {}

    std::string text()
    {
        const int pieces = Below(4) == 0 ? Below(400) : Below(40);
        std::string t;
        for (int i = 0; i < pieces; ++i) {
            switch (Below(8)) {
            case 0: t += Letter(); break;
            case 1:
                t += static_cast<char>(0xB0 + Below(3));
                t += static_cast<char>(0xA1 + Below(3));
                break;
            case 2:
                t += static_cast<char>(0xB0 + Below(3));
                t += Letter();
                break;                                              // a trail byte that is a letter
            case 3: t += static_cast<char>(0xB0 + Below(3)); break; // a lone lead byte
            case 4:                                                 // four-byte characters, often the same one many times
                for (int n = Below(3) == 0 ? Below(40) : 1, c = Below(4); n > 0; --n)
                    t += FourByte(Below(3) == 0 ? Below(4) : c);
                break;
            case 5:
                t += static_cast<char>(0x81 + Below(2));
                t += Digit();
                break; // half of one
            default:
                t += Letter();
                t += Letter();
                break;
            }
        }
        return t;
    }

    std::string sought(const std::string& text)
    {
        if (!text.empty() && Below(4) != 0) {
            const size_t at = static_cast<size_t>(Below(static_cast<int>(text.size())));
            std::string s = text.substr(at, 1 + static_cast<size_t>(Below(12)));
            if (Below(3) == 0)
                FlipCase(&s);
            return s;
        }
        std::string s;
        for (int n = Below(4); n > 0; --n) {
            switch (Below(4)) {
            case 0: s += static_cast<char>(0xB0 + Below(3)); break;
            case 1: s += FourByte(Below(4)).substr(static_cast<size_t>(Below(3)), 2); break; // across characters
            default: s += Letter(); break;
            }
        }
        return s;
    }

    ValueRecord start(size_t textLength)
    {
        switch (Below(6)) {
        case 0: return kNoStart;
        case 1: {
            const int32_t limits[] = {INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX - 1, 0, 1};
            return MakeInt(limits[Below(6)]);
        }
        default: return MakeInt(Below(static_cast<int>(textLength) + 6) - 3);
        }
    }

    ValueRecord flag()
    {
        switch (Below(4)) {
        case 0: return kNoFlag;
        case 1: return MakeBool(false);
        case 2: return {2, kTypeBool};
        default: return MakeBool(true);
        }
    }

private:
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    char Letter() { return "abAB[{@`3"[Below(9)]; }
    char Digit() { return static_cast<char>('0' + Below(2) * 7); }
    // One of four four-byte characters that share their bytes.
    static std::string FourByte(int which)
    {
        static const char* const kFour[] = {"\x81\x30\x81\x30", "\x81\x37\x81\x30", "\x82\x30\x81\x37",
                                            "\xFE\x39\xFE\x39"};
        return kFour[which];
    }
    void FlipCase(std::string* s)
    {
        for (char& c : *s)
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
                c ^= 0x20;
    }
    std::mt19937 rng_;
};

TEST(FindTextTest, FastScanAgreesWithThePlainScan)
{
    test::MallocService heap;
    RandomCases random(20240611);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = random.text();
        const std::string sought = random.sought(text);
        const ValueRecord start = random.start(text.size());
        const ValueRecord flag = random.flag();
        const int32_t expected = test::ReferenceFindText(text.c_str(), sought.c_str(), start.type != 0,
                                                         AsInt32(start), flag.type != 0, Low32(flag));
        ASSERT_EQ(Find(text, sought, start, flag), expected)
            << "case " << i << ": text " << testing::PrintToString(text) << " sought "
            << testing::PrintToString(sought) << " start " << AsInt32(start) << " flag " << Low32(flag);
        const size_t offset = start.type ? static_cast<size_t>(std::max<int64_t>(int64_t{AsInt32(start)} - 1, 0)) : 0;
        const int64_t found = FindTextOffset(text, sought, offset, flag.type != 0 && Low32(flag) == 1);
        ASSERT_EQ(found < 0 ? -1 : found + 1, expected) << "case " << i << " with the length known";
    }
}

// Texts longer than the steps in which the command measures a text's
// length, with sought texts cut across those steps.
TEST(FindTextTest, LongTextsAgreeWithThePlainScan)
{
    test::MallocService heap;
    RandomCases random(99);
    for (int i = 0; i < 40; ++i) {
        std::string text;
        while (text.size() < 40000)
            text += random.text();
        for (size_t at : {size_t{16380}, size_t{16383}, size_t{32760}, size_t{32767}, text.size() - 5}) {
            for (size_t length : {size_t{1}, size_t{5}, size_t{12}, size_t{100}}) {
                const std::string sought = text.substr(at, length);
                const ValueRecord start = random.start(text.size());
                const int32_t expected =
                    test::ReferenceFindText(text.c_str(), sought.c_str(), start.type != 0, AsInt32(start), false, 0);
                ASSERT_EQ(Find(text, sought, start), expected) << "text " << i << " at " << at << " length " << length;
            }
        }
    }
}

// Every block tests path this processor has, with the length known and
// with the text measured as the search goes.
TEST(FindTextTest, EveryScanKindAgreesWithThePlainScan)
{
    for (ScanKind kind : {ScanKind::kPortable, ScanKind::kSse2, ScanKind::kAvx2}) {
        if (!ScanKindAvailable(kind))
            continue;
        RandomCases random(7);
        for (int i = 0; i < 20000; ++i) {
            const std::string text = random.text();
            const std::string sought = random.sought(text);
            const int32_t start = AsInt32(random.start(text.size()));
            const bool ignoreCase = random.flag().payload == 1;
            const int32_t expected =
                test::ReferenceFindText(text.c_str(), sought.c_str(), true, start, true, ignoreCase);
            const size_t offset = static_cast<size_t>(std::max<int64_t>(int64_t{start} - 1, 0));
            const std::vector<char> exact(text.begin(), text.end()); // no spare capacity behind the text
            const int64_t found =
                FindTextOffsetUsing(kind, std::string_view(exact.data(), exact.size()), sought, offset, ignoreCase);
            ASSERT_EQ(found < 0 ? -1 : found + 1, expected)
                << "kind " << static_cast<int>(kind) << " case " << i << ": text " << testing::PrintToString(text)
                << " sought " << testing::PrintToString(sought) << " start " << start;
            const int64_t measured = FindTextOffsetInTerminatedUsing(kind, text.c_str(), sought, offset, ignoreCase);
            ASSERT_EQ(measured, found) << "kind " << static_cast<int>(kind) << " case " << i << ", terminated";
        }
    }
}

} // namespace
} // namespace mt
