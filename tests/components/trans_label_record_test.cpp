// The transparent label's record on its own: field order, the versions it
// reads, the values it normalises, and records cut or lying about lengths.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "components/trans_label_record.h"
#include "components/trans_label_texts.h"
#include "support/engine_runtime.h"
#include "trans_label_records.h"

namespace mt::test {
namespace {

// An exact-size heap copy, so a sanitizer sees any read past the end.
std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

bool Read(const std::string& s, TransLabelProperties* p)
{
    const std::vector<uint8_t> b = Bytes(s);
    return ReadTransLabelRecord(b.data(), b.size(), p);
}

std::string Record(uint32_t version, std::initializer_list<int32_t> words, const std::string& font,
                   const std::string& caption)
{
    PropertyWriter w;
    w.u32(version);
    for (int32_t v : words)
        w.i32(v);
    w.bytes(font);
    w.bytes(caption);
    return w.data();
}

TEST(TransLabelRecord, FieldsFollowTheVersionInTheirOrderAndComeBack)
{
    TransLabelProperties p;
    p.textEffect = 1;
    p.textColor = 0x00ABCDEF;
    p.horzAlign = 2;
    p.vertAlign = 0;
    p.wordWrap = 1;
    p.font = BigBoldFont();
    p.caption = Gb("共计0个字符。");
    const std::string record = WriteTransLabelRecord(p).data();
    EXPECT_EQ(record, Record(1, {1, 0x00ABCDEF, 2, 0, 1}, p.font, p.caption));
    TransLabelProperties back;
    ASSERT_TRUE(Read(record, &back));
    EXPECT_EQ(WriteTransLabelRecord(back).data(), record);
}

TEST(TransLabelRecord, VersionsZeroAndOneAreReadHigherOnesRefused)
{
    const struct {
        uint32_t version;
        bool read;
    } cases[] = {{0, true}, {1, true}, {2, false}, {0x80000000u, false}};
    for (const auto& c : cases) {
        TransLabelProperties p;
        EXPECT_EQ(Read(Record(c.version, {3, 0x0000FF, 1, 2, 1}, "", "x"), &p), c.read) << c.version;
        if (c.read) {
            EXPECT_EQ(WriteTransLabelRecord(p).data(), Record(1, {3, 0x0000FF, 1, 2, 1}, "", "x")) << c.version;
        }
    }
    TransLabelProperties p;
    ASSERT_TRUE(ReadTransLabelRecord(nullptr, 0, &p)); // nothing stored: the defaults
    EXPECT_EQ(p.caption, gb::kTransLabelDefaultCaption);
    EXPECT_EQ(p.vertAlign, 1);
}

TEST(TransLabelRecord, StoredValuesAreNormalised)
{
    const struct {
        int32_t effect, horz, vert, wrap;
        int32_t wantEffect, wantHorz, wantVert, wantWrap;
    } cases[] = {
        {5, -1, 9, 2, 3, 0, 2, 0},
        {-7, 3, -1, 1, 0, 2, 0, 1},
        {2, 1, 1, -1, 2, 1, 1, 0},
    };
    for (const auto& c : cases) {
        TransLabelProperties p;
        ASSERT_TRUE(Read(Record(1, {c.effect, 0, c.horz, c.vert, c.wrap}, "", ""), &p));
        EXPECT_EQ(p.textEffect, c.wantEffect) << c.effect;
        EXPECT_EQ(p.horzAlign, c.wantHorz) << c.horz;
        EXPECT_EQ(p.vertAlign, c.wantVert) << c.vert;
        EXPECT_EQ(p.wordWrap, c.wantWrap) << c.wrap;
    }
    TransLabelProperties p;
    ASSERT_TRUE(Read(Record(1, {0, 0, 0, 0, 0}, "short", ""), &p));
    EXPECT_EQ(p.font, ""); // not 60 bytes: the default GUI font
}

TEST(TransLabelRecord, EveryCutAndEveryLyingLengthIsRefused)
{
    const std::string whole = Record(1, {1, 2, 1, 1, 0}, BigBoldFont(), "caption");
    TransLabelProperties p;
    ASSERT_TRUE(Read(whole, &p));
    for (size_t n = 1; n < whole.size(); ++n)
        EXPECT_FALSE(Read(whole.substr(0, n), &p)) << n;
    for (int32_t length : {-1, 1000, 0x7FFFFFFF}) {
        for (size_t at : {24, 88}) { // the font's length, the caption's
            std::string lying = whole;
            std::memcpy(lying.data() + at, &length, 4);
            EXPECT_FALSE(Read(lying, &p)) << at << " " << length;
        }
    }
}

// VisitTexts hands over the caption and the face name and writes back what
// the visitor left.
TEST(TransLabelRecord, VisitTextsSeesCaptionAndFaceName)
{
    EngineRuntime runtime; // the returned block comes from the runtime's allocator
    platform::LogicalFont f;
    f.faceName = "Sans";
    const auto fontBytes = f.toBytes();
    TransLabelProperties p;
    p.caption = "hello";
    p.font.assign(reinterpret_cast<const char*>(fontBytes.data()), fontBytes.size());
    const std::vector<uint8_t> record = Bytes(WriteTransLabelRecord(p).data());

    auto visit = KindRoutineOf<VisitTextsRoutine>(&kUiExtensionKinds[4], kRoutineVisitTexts);
    ASSERT_NE(visit, nullptr);
    std::vector<std::string> seen;
    int32_t length = 0;
    uint8_t* out = visit(
        record.data(), static_cast<int32_t>(record.size()),
        [](std::string* text, void* user) {
            static_cast<std::vector<std::string>*>(user)->push_back(*text);
            *text += "!";
        },
        &seen, &length);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"hello", "Sans"}));
    TransLabelProperties back;
    ASSERT_TRUE(ReadTransLabelRecord(out, static_cast<size_t>(length), &back));
    EXPECT_EQ(back.caption, "hello!");
    EXPECT_EQ(platform::LogicalFont::FromBytes(reinterpret_cast<const uint8_t*>(back.font.data())).faceName, "Sans!");
    std::free(out);

    const std::vector<uint8_t> refused = Bytes(Record(2, {0, 0, 0, 0, 0}, "", ""));
    EXPECT_EQ(visit(
                  refused.data(), static_cast<int32_t>(refused.size()), [](std::string*, void*) {}, nullptr, &length),
              nullptr);
    EXPECT_EQ(length, 0);
}

} // namespace
} // namespace mt::test
