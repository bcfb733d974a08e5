#include <gtest/gtest.h>

#include <string>

#include "commands/command_call.h"
#include "commands/rule_diagnosis.h"
#include "commands/rule_diagnosis_command.h"
#include "commands/rule_normalise.h"
#include "platform/text_codec.h"
#include "support/malloc_service.h"
#include "support/row_name.h"

namespace mt {
namespace {

std::string Gb(const std::string& utf8)
{
    std::string gb;
    EXPECT_TRUE(platform::Utf8ToGb(utf8, &gb));
    return gb;
}

struct DiagnosisCase {
    const char* name;
    std::string page, left, right;
    bool ignoreCase;
    DiagnosisCode code;
    DiagnosisSide side;
    int64_t position; // 1-based; 0 for none
    size_t length;
};

using C = DiagnosisCode;
using S = DiagnosisSide;

// GB18030 bytes of the characters the table uses.
const std::string kColonFull = "\xA3\xBA";       // ：
const std::string kPrice = "\xBC\xDB\xB8\xF1";   // 价格
const std::string kIdeoSpace = "\xA1\xA1";       // the ideographic space
const std::string kFullA = "\xA3\xC1";           // Ａ
const std::string kNoBreak = "\x81\x30\x84\x36"; // U+00A0
const std::string kZhong = "\xD6\xD0";           // 中

const DiagnosisCase kCases[] = {
    // Each cause alone.
    {"crlf typed, lf in the page", "a\nb<x>", "a\r\nb", "<x>", false, C::kLineBreaks, S::kLeft, 1, 3},
    {"lf typed, lone cr in the page", "x\ry", "x\ny", "y", false, C::kLineBreaks, S::kLeft, 1, 3},
    {"crlf in the page", "p: a\r\nb", "a\nb", "", false, C::kLineBreaks, S::kLeft, 4, 4},
    {"half-width typed", kPrice + kColonFull + "12", kPrice + ":", "2", false, C::kWidth, S::kLeft, 1, 6},
    {"full-width typed", "id:7", "id" + kColonFull, "7", false, C::kWidth, S::kLeft, 1, 3},
    {"ideographic space", "a" + kIdeoSpace + "b", "a b", "b", false, C::kWidth, S::kLeft, 1, 4},
    {"letter case", "<DIV>x</DIV>", "<div>", "<", false, C::kCase, S::kLeft, 1, 5},
    {"two tabs for a space", "a\t\tb", "a b", "b", false, C::kWhitespace, S::kLeft, 1, 4},
    {"no-break space", "a" + kNoBreak + "b", "a b", "b", false, C::kWhitespace, S::kLeft, 1, 6},
    {"line break for a space", "q a\r\n  b", "a b", "b", false, C::kWhitespace, S::kLeft, 3, 6},
    {"&amp;", "x&amp;y", "x&y", "y", false, C::kEntities, S::kLeft, 1, 7},
    {"&nbsp;", "a&nbsp;b", "a b", "b", false, C::kEntities, S::kLeft, 1, 8},
    {"numeric references", "<p>&#60;b&#x3e;", "<b>", "p", false, C::kEntities, S::kLeft, 4, 12},
    {"a reference beyond ASCII", "t&#20013;", "t" + kZhong, "t", false, C::kEntities, S::kLeft, 1, 9},
    {"a leading part", "hello world", "hello there", "d", false, C::kPartial, S::kLeft, 1, 6},
    {"a longer part further on", "ab.abc", "abcd", "c", false, C::kPartial, S::kLeft, 4, 3},
    {"nothing of it", "xyz", "q", "z", false, C::kPartial, S::kLeft, 0, 0},
    {"parts end on whole characters", "a\xD6\xD1", "a" + kZhong, "a", false, C::kPartial, S::kLeft, 1, 1},
    {"the right text", "[b]x", "[b]", "[/x]", false, C::kPartial, S::kRight, 1, 1},
    {"the right text's case", "[b]x[/B]", "[b]", "[/b]", false, C::kCase, S::kRight, 5, 4},
    {"right before left", "</b>x<b>", "<b>", "</b>", false, C::kRightBeforeLeft, S::kRight, 1, 4},
    {"left at the very end", "]x[", "[", "]", false, C::kRightBeforeLeft, S::kRight, 1, 1},
    {"right overlapping left", "abc", "bc", "ab", false, C::kRightBeforeLeft, S::kRight, 1, 2},
    // Nothing to say.
    {"a working rule", "<b>x</b>", "<b>", "</b>", false, C::kNone, S::kNone, 0, 0},
    {"right behind left as well", "]<b>x]", "<b>", "]", false, C::kNone, S::kNone, 0, 0},
    {"an empty right text", "<b>x", "<b>", "", false, C::kNone, S::kNone, 0, 0},
    {"an empty right text, left at the end", "x<b>", "<b>", "", false, C::kNone, S::kNone, 0, 0},
    // Boundaries.
    {"an empty page", "", "", "", false, C::kPartial, S::kLeft, 0, 0},
    {"an empty page, a text", "", "a", "b", false, C::kPartial, S::kLeft, 0, 0},
    {"first cause wins: line breaks before whitespace", "a\nb", "a\r\nb", "b", false, C::kLineBreaks, S::kLeft, 1, 3},
    {"each alone: width and case together are neither", kFullA, "a", "", false, C::kPartial, S::kLeft, 0, 0},
    {"with ignore case the width still shows", kFullA, "a", "", true, C::kWidth, S::kLeft, 1, 2},
    {"case differing in a trail byte is no case", "\x81\x61", "\x81\x41", "", false, C::kPartial, S::kLeft, 0, 0},
    {"no full-width form across characters", "\xB0\xA3\xBA", ":", "", false, C::kPartial, S::kLeft, 0, 0},
    {"a reference without its semicolon", "a&amp b", "a& b", "b", false, C::kPartial, S::kLeft, 1, 2},
    {"the cut-off reference at the end", "x&#6", "x&#6;", "", false, C::kPartial, S::kLeft, 1, 4},
    {"a whitespace run at the end", "a  ", "a \t", "", false, C::kWhitespace, S::kLeft, 1, 3},
    {"a lone cr at the very end", "a\r", "a\n", "", false, C::kLineBreaks, S::kLeft, 1, 2},
};

void PrintTo(const DiagnosisCase& c, std::ostream* out) { *out << c.name; }

class RuleDiagnosisRow : public testing::TestWithParam<DiagnosisCase> {};

TEST_P(RuleDiagnosisRow, FindsTheNearestCause)
{
    const DiagnosisCase& c = GetParam();
    const Diagnosis d = DiagnoseRule(c.page, c.left, c.right, c.ignoreCase);
    EXPECT_EQ(d.code, c.code);
    EXPECT_EQ(d.side, c.side);
    EXPECT_EQ(d.offset + 1, c.position);
    EXPECT_EQ(d.length, c.length);
    EXPECT_EQ(DiagnosisSentence(d).empty(), c.code == C::kNone);
}

INSTANTIATE_TEST_SUITE_P(, RuleDiagnosisRow, testing::ValuesIn(kCases), test::ByRowName());

TEST(RuleDiagnosisTest, SentencesNameThePositionAndTheBytes)
{
    const struct {
        std::string page, left, right, sentence;
    } cases[] = {
        {kPrice + kColonFull + "12", kPrice + ":", "2", Gb("左边文本在第1字节处出现，但全角与半角不同：页面为“：”，文本为“:”。")},
        {"<DIV>x", "<div>", "x", Gb("左边文本在第1字节处出现，但大小写不同：页面为“D”，文本为“d”。")},
        {"a\nb", "a\r\nb", "b", Gb("左边文本在第1字节处出现，但换行不同：页面为LF，文本为CR LF。")},
        {"x a\t\tb", "a b", "b", Gb("左边文本在第3字节处出现，但空白不同：页面为制表符+制表符，文本为空格。")},
        {"x&amp;y", "x&y", "y", Gb("左边文本在第1字节处出现，但页面写作字符引用“&amp;”（即“&”）。")},
        {"hello world", "hello there", "d", Gb("左边文本只有前6字节“hello ”出现，在第1字节处。")},
        {"xyz", "q", "z", Gb("左边文本连第一个字符也未出现。")},
        {"</b>x<b>", "<b>", "</b>", Gb("右边文本只出现在左边文本之前（第1字节处），中间文本为空。")},
        // A field's bytes are not taken for another field.
        {"%T%P", "%T%Q", "", Gb("左边文本只有前3字节“%T%”出现，在第1字节处。")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DiagnosisSentence(DiagnoseRule(c.page, c.left, c.right, false)), c.sentence) << c.page;
}

TEST(RuleDiagnosisTest, NormalisedStretchesLeadBackToThePage)
{
    // Under each normalisation the first and the last byte of a stretch
    // lead back to whole characters or runs of the text.
    const std::string page = "ab\r\n\t " + kColonFull + "&lt;z";
    EXPECT_EQ(Normalised(Normalisation::kLineBreaks, page), "ab\n\t " + kColonFull + "&lt;z");
    EXPECT_EQ(Normalised(Normalisation::kWidth, page), "ab\r\n\t :&lt;z");
    EXPECT_EQ(Normalised(Normalisation::kWhitespace, page), "ab " + kColonFull + "&lt;z");
    EXPECT_EQ(Normalised(Normalisation::kEntities, page), "ab\r\n\t " + kColonFull + "<z");
    // The run of four whitespace bytes and the full-width colon behind it.
    const OriginalSpan ws = SpanBefore(Normalisation::kWhitespace, page, 2, 3);
    EXPECT_EQ(ws.start, 2u);
    EXPECT_EQ(ws.end, 8u);
    // The reference and the letter behind it.
    const OriginalSpan ent = SpanBefore(Normalisation::kEntities, page, 8, 2);
    EXPECT_EQ(ent.start, 8u);
    EXPECT_EQ(ent.end, 13u);
}

TEST(RuleDiagnosisTest, TheCommandAnswersThroughItsVariables)
{
    test::MallocService heap;
    const std::string page = "a\t\tb", left = "a b", right = "b";
    int32_t side = -1, position = -1, length = -1;
    char* sentence = nullptr;
    const ValueRecord r = test::CallCommand(
        RuleDiagnosis, {test::Text(page.c_str()), test::Text(left.c_str()), test::Text(right.c_str()), Omitted(),
                        MakePointer(&side, kTypeInt), MakePointer(&position, kTypeInt),
                        MakePointer(&length, kTypeInt), MakePointer(&sentence, kTypeText)});
    EXPECT_EQ(AsInt32(r), static_cast<int32_t>(C::kWhitespace));
    EXPECT_EQ(side, static_cast<int32_t>(S::kLeft));
    EXPECT_EQ(position, 1);
    EXPECT_EQ(length, 4);
    ASSERT_NE(sentence, nullptr);
    EXPECT_EQ(std::string(sentence), Gb("左边文本在第1字节处出现，但空白不同：页面为制表符+制表符，文本为空格。"));
    svc::Free(sentence);

    // A working rule leaves the variables as they were; so do missing ones.
    side = 9;
    const ValueRecord none = test::CallCommand(
        RuleDiagnosis, {test::Text("<b>x</b>"), test::Text("<b>"), test::Text("</b>"), Omitted(), MakePointer(&side, kTypeInt)});
    EXPECT_EQ(AsInt32(none), 0);
    EXPECT_EQ(side, 9);
    const ValueRecord bare = test::CallCommand(RuleDiagnosis, {test::Text("x"), test::Text("y")});
    EXPECT_EQ(AsInt32(bare), static_cast<int32_t>(C::kPartial));
    EXPECT_EQ(heap.liveBlocks(), 0);
}

} // namespace
} // namespace mt
