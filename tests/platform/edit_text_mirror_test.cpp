// The byte mirror against a model: random edits of mixed text, then the
// mirror's bytes must equal a fresh conversion and its position maps must
// agree with each other.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/edit/edit_text_mirror.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

// Pieces of text with every width of character: ASCII, two-byte Chinese,
// four-byte BMP (U+00E9, U+20AC? no: U+00A0 and U+2028), a supplementary
// character (U+1F600, two units), and line breaks.
const std::u16string kPieces[] = {
    u"a",
    u"xyz",
    u"\u4E2D\u6587",
    u"\u00A0",
    u"\u2028",
    u"\U0001F600",
    u"\u2029",
    u"\n",
    u"0123456789",
    u"\u7F51\u9875\u6E90\u7801<html>",
    u"\u00E9t\u00E9",
};

std::u16string RandomText(std::mt19937& rng, int pieces)
{
    std::u16string s;
    for (int i = 0; i < pieces; ++i)
        s += kPieces[rng() % std::size(kPieces)];
    return s;
}

// A position that does not split a surrogate pair.
size_t Boundary(const std::u16string& s, size_t pos)
{
    if (pos > 0 && pos < s.size() && s[pos] >= 0xDC00 && s[pos] <= 0xDFFF)
        --pos;
    return pos;
}

void ExpectConsistent(const EditTextMirror& m, const std::u16string& model, bool crlf)
{
    ASSERT_EQ(m.bytes(), MirrorBytes(model, crlf));
    ASSERT_EQ(m.unitCount(), model.size());
    for (size_t u = 0; u <= model.size(); u += 1 + model.size() / 97) {
        const size_t b = m.byteOfUnit(Boundary(model, u));
        ASSERT_EQ(m.unitOfByte(b, Snap::kDown), Boundary(model, u));
        ASSERT_EQ(b, Utf16ToGbPosition(m.bytes(), Boundary(model, u), crlf));
    }
}

TEST(EditTextMirror, RandomEditsMatchAFreshConversion)
{
    for (bool crlf : {false, true}) {
        std::mt19937 rng(crlf ? 7 : 11);
        std::u16string model = RandomText(rng, 3000);
        EditTextMirror m(crlf);
        m.reset(model);
        ExpectConsistent(m, model, crlf);
        for (int step = 0; step < 600; ++step) {
            const size_t pos = Boundary(model, rng() % (model.size() + 1));
            const size_t removed = Boundary(model, std::min(model.size(), pos + rng() % (step % 10 == 0 ? 20000 : 8))) - pos;
            const std::u16string added = RandomText(rng, static_cast<int>(rng() % (step % 7 == 0 ? 5000 : 3)));
            ASSERT_TRUE(m.replace(pos, removed, added));
            model.replace(pos, removed, added);
            if (step % 50 == 0)
                ExpectConsistent(m, model, crlf);
        }
        ExpectConsistent(m, model, crlf);
    }
}

TEST(EditTextMirror, BytePositionsInsideACharacterSnap)
{
    EditTextMirror m(true);
    m.reset(u"a\u4E2D\u2029\U0001F600b"); // a D6D0 0D0A 9439FC? b
    // a | 中 (2 bytes) | CR LF | U+1F600 (4 bytes, 2 units) | b
    EXPECT_EQ(m.bytes().size(), 1u + 2 + 2 + 4 + 1);
    EXPECT_EQ(m.unitOfByte(2, Snap::kDown), 1u); // inside 中
    EXPECT_EQ(m.unitOfByte(2, Snap::kUp), 2u);
    EXPECT_EQ(m.unitOfByte(4, Snap::kDown), 2u); // between CR and LF
    EXPECT_EQ(m.unitOfByte(4, Snap::kUp), 3u);
    EXPECT_EQ(m.unitOfByte(7, Snap::kDown), 3u); // inside the pair's bytes
    EXPECT_EQ(m.unitOfByte(7, Snap::kUp), 5u);
    EXPECT_EQ(m.byteOfUnit(4), 5u); // between the pair's units
    EXPECT_EQ(m.unitOfByte(999, Snap::kDown), 6u);
    EXPECT_EQ(m.byteOfUnit(999), 10u);
}

TEST(EditTextMirror, RefusesEditsOutsideTheTextOrInsideAPair)
{
    EditTextMirror m(false);
    m.reset(u"ab\U0001F600");
    const std::string before = m.bytes();
    EXPECT_FALSE(m.replace(5, 0, u"x"));
    EXPECT_FALSE(m.replace(1, 9, u""));
    EXPECT_FALSE(m.replace(3, 0, u"x"));      // between the halves
    EXPECT_FALSE(m.replace(2, 0, u"\xD83D")); // a high half before a pair's start
    EXPECT_EQ(m.bytes(), before);
}

TEST(EditTextMirror, LoneSurrogatesCountOneUnitEach)
{
    EditTextMirror m(false);
    m.reset(std::u16string(u"a") + char16_t(0xDC00) + u"b");
    EXPECT_EQ(m.bytes(), "a?b");
    EXPECT_EQ(m.byteOfUnit(2), 2u);
}

} // namespace
} // namespace mt::platform
