#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/page_decoding.h"
#include "support/row_name.h"

namespace mt {
namespace {

const std::string kFffd(kGb18030Replacement);
const std::string kZhong = "\xD6\xD0"; // 中 in GB18030

struct Decoded {
    bool converted;
    std::string text;
    int64_t replaced;
};

Decoded Decode(const std::string& bytes, const char* encoding)
{
    std::string out;
    const PageDecodeResult r = DecodePageToGb18030(bytes, encoding, [&out](std::string_view piece) {
        out.append(piece);
        return true;
    });
    return {r.converted, r.converted ? out : "", r.replaced};
}

// `count` copies of `bad`, each behind 255 bytes of ASCII.
std::string Sprinkled(const std::string& bad, int count)
{
    std::string page;
    for (int i = 0; i < count; ++i)
        page += std::string(255, 'a') + bad;
    return page;
}

struct DecodingCase {
    const char* name;
    std::string bytes;
    const char* encoding;
    bool converted;
    std::string text;
    int64_t replaced;
};

void PrintTo(const DecodingCase& c, std::ostream* out) { *out << c.name; }

// Few bad bytes become replacement characters; more leave the page undecoded.
std::vector<DecodingCase> DecodingRows()
{
    return {
        {"clean", "a\xE4\xB8\xAD", "UTF-8", true, "a" + kZhong, 0},
        {"one bad byte", "a\xFF\xE4\xB8\xAD", "UTF-8", true, "a" + kFffd + kZhong, 1},
        {"a sequence missing its last byte", "\xE4\xB8z", "UTF-8", true, kFffd + "z", 2},
        {"cut last character", "\xE4\xB8\xAD\xE4\xB8", "UTF-8", true, kZhong, 2},
        {"U+FFFD itself", "\xEF\xBF\xBD", "UTF-8", true, kFffd, 0},
        {"UTF-16 of odd length", std::string("<\0p\0>\0!", 7), "UTF-16LE", true, "<p>", 1},
        {"UTF-16 lone low surrogate", std::string("a\0\x00\xDC"
                                                  "b\0",
                                                  6),
         "UTF-16LE", true, "a" + kFffd + "b", 2},
        {"Big5 with a cut character", "\xa4\xa4\xa4", "BIG5-HKSCS", true, kZhong, 1},
        {"Latin-1", "caf\xE9", "CP1252", true, "caf\xA8\xA6", 0},
        {"empty", "", "UTF-8", true, "", 0},
        {"encoding iconv does not know", "abc", "NO-SUCH-ENCODING", false, "", 0},
        {"one GBK character that says UTF-8", "charset=utf-8 \xD6\xD0", "UTF-8", false, "", 0},
        {"a bad byte and a cut end in a short page", "\xFF\xE4\xB8\xAD\xE4\xB8", "UTF-8", false, "", 0},
        // Beyond the bound, UTF-8 with more valid multi-byte sequences than bad
        // ones is still UTF-8; with as many, or in another encoding, it is not.
        {"a short UTF-8 page with one GBK character", "<p>\xE4\xB8\xAD\xE6\x96\x87\xE7\xBD\x91\xD6\xD0!</p>", "UTF-8", true,
         "<p>" + kZhong + "\xCE\xC4\xCD\xF8" + kFffd + kFffd + "!</p>", 2},
        {"as many bad sequences as valid ones", "\xE4\xB8\xAD\xE4\xB8\xAD\xFF\xFF", "UTF-8", false, "", 0},
        {"a short Big5 page with two bad bytes", "\xa4\xa4\xa4\xa4\xff\xff", "BIG5-HKSCS", false, "", 0},
        {"GBK page that says UTF-8", "<p>\xD6\xD0\xCE\xC4\xCD\xF8\xD2\xB3\xB5\xC4\xB1\xEA\xCC\xE2</p>", "UTF-8", false, "",
         0},
    };
}

class PageDecodingRow : public testing::TestWithParam<DecodingCase> {};

TEST_P(PageDecodingRow, FewBadBytesBecomeReplacementCharacters)
{
    const DecodingCase& c = GetParam();
    const Decoded d = Decode(c.bytes, c.encoding);
    EXPECT_EQ(d.converted, c.converted);
    EXPECT_EQ(d.text, c.text);
    if (c.converted) {
        EXPECT_EQ(d.replaced, c.replaced);
    }
}

INSTANTIATE_TEST_SUITE_P(, PageDecodingRow, testing::ValuesIn(DecodingRows()), test::ByRowName());

// One bad sequence per 256 bytes and 1 % of the bytes, each side of both.
TEST(PageDecoding, TheBoundHoldsOnBothSides)
{
    const struct {
        const char* name;
        std::string bytes;
        bool converted;
    } cases[] = {
        {"one bad byte per 256, and one", Sprinkled("\xFF", 10) + "\xFF", true},
        {"one more than that", Sprinkled("\xFF", 10) + "\xFF\xFF", false},
        {"two-byte bad sequences within 1 %", Sprinkled("\xE4\xB8", 12), true},
        {"three-byte ones beyond 1 %", Sprinkled("\xF0\x9F\x98", 12), false},
        {"one bad sequence in a short page", "\xF0\x9F\x98!", true},
        {"two in a short page", "\xFF\xFF", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Decode(c.bytes, "UTF-8").converted, c.converted) << c.name << " (" << c.bytes.size() << " bytes)";
    }
    EXPECT_EQ(MostBadSequences(2560), 11);
    EXPECT_EQ(MostReplacedBytes(2560), 29);
}

TEST(PageDecoding, AWriterThatRefusesFailsTheConversion)
{
    const std::string big(200000, 'x');
    int pieces = 0;
    const PageDecodeResult r = DecodePageToGb18030(big, "UTF-8", [&pieces](std::string_view) { return ++pieces < 2; });
    EXPECT_FALSE(r.converted);
    EXPECT_EQ(pieces, 2);
}

} // namespace
} // namespace mt
