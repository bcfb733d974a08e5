#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/page_charset.h"
#include "support/row_name.h"

namespace mt {
namespace {

struct CharsetCase {
    const char* name;
    std::string header, body;
    CharsetSource source;
    std::string iconvName;
    size_t bom = 0;
};

void PrintTo(const CharsetCase& c, std::ostream* out) { *out << c.name; }

// Declarations in order of precedence, and what is sniffed without one.
std::vector<CharsetCase> CharsetRows()
{
    const std::string late = "<html>" + std::string(1100, ' ') + "<meta charset=big5>";
    return {
        {"UTF-8 mark", "text/html; charset=big5", "\xEF\xBB\xBF<meta charset=sjis>", CharsetSource::kBom, "UTF-8", 3},
        {"UTF-16LE mark", "", std::string("\xFF\xFEh\0i\0", 6), CharsetSource::kBom, "UTF-16LE", 2},
        {"UTF-16BE mark", "", std::string("\xFE\xFF\0h", 4), CharsetSource::kBom, "UTF-16BE", 2},
        {"header", "text/html; charset=utf-8", "<meta charset=big5>", CharsetSource::kHeader, "UTF-8"},
        {"header quoted", "text/html;charset=\"Shift_JIS\"", "", CharsetSource::kHeader, "CP932"},
        {"header GBK", "text/html; charset=GBK", "<meta charset=euc-kr>", CharsetSource::kHeader, "GB18030"},
        {"unknown header label", "text/html; charset=klingon", "", CharsetSource::kNone, ""},
        {"meta charset", "text/html", "<head><META CHARSET='Big5'>", CharsetSource::kMeta, "BIG5-HKSCS"},
        {"meta http-equiv", "", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">",
         CharsetSource::kMeta, "KOI8-R"},
        {"content without http-equiv", "", "<meta content=\"text/html; charset=koi8-r\">", CharsetSource::kNone, ""},
        {"meta inside a comment", "", "<!-- <meta charset=big5> --><meta charset=euc-jp>", CharsetSource::kMeta, "EUC-JP"},
        {"quoted '>' in another tag", "", "<a title='<meta charset=big5>'><meta charset=latin1>", CharsetSource::kMeta,
         "CP1252"},
        {"meta utf-16 reads as UTF-8", "", "<meta charset=utf-16>", CharsetSource::kMeta, "UTF-8"},
        {"meta past 1024 bytes", "", late, CharsetSource::kNone, ""},
        {"late charset=utf-8 text", "", late + "charset=UTF-8", CharsetSource::kPageText, "UTF-8"},
        {"quoted late text", "", late + "charset=\"utf-8\"", CharsetSource::kPageText, "UTF-8"},
        {"text check stops at a zero byte", "", std::string("a\0charset=utf-8", 15), CharsetSource::kNone, ""},
        {"utf8 in the text is not the old check", "", late + "charset=utf8", CharsetSource::kNone, ""},
        {"GBK page", "", "<meta charset=gbk>charset=utf-8", CharsetSource::kMeta, "GB18030"},
        {"undeclared ASCII", "text/plain", "plain", CharsetSource::kNone, ""},
        {"JSON in UTF-8", "application/json", "{\"name\":\"\xE5\xBC\xA0\xE4\xB8\x89\"}", CharsetSource::kSniffed, "UTF-8"},
        {"undeclared UTF-8 page", "", "<p>\xC3\xA9t\xC3\xA9</p>", CharsetSource::kSniffed, "UTF-8"},
        {"unknown label, UTF-8 bytes", "text/html; charset=klingon", "\xE4\xB8\xAD", CharsetSource::kSniffed, "UTF-8"},
        {"last character cut", "", "a\xE4\xB8\xAD\xF0\x9F\x98", CharsetSource::kSniffed, "UTF-8"},
        {"only a cut character", "", "ab\xE4\xB8", CharsetSource::kNone, ""},
        {"GBK bytes", "text/html", "<p>\xD6\xD0\xCE\xC4</p>", CharsetSource::kNone, ""},
        {"one bad byte", "", "\xE4\xB8\xAD\xFF\xE4\xB8\xAD", CharsetSource::kNone, ""},
        {"surrogate", "", "\xE4\xB8\xAD\xED\xA0\x80", CharsetSource::kNone, ""},
        {"overlong", "", "\xE4\xB8\xAD\xC0\xAF", CharsetSource::kNone, ""},
        {"cut tail that cannot be UTF-8", "", "\xE4\xB8\xAD\xE0\x80", CharsetSource::kNone, ""},
        {"beyond U+10FFFF", "", "\xF4\x90\x80\x80", CharsetSource::kNone, ""},
        {"GBK declared wins over UTF-8 bytes", "text/html; charset=gbk", "\xE4\xB8\xAD", CharsetSource::kHeader,
         "GB18030"},
        {"UTF-7 ignored", "text/html; charset=utf-7", "", CharsetSource::kNone, ""},
        {"ISO-2022-JP ignored", "", "<meta charset=iso-2022-jp>", CharsetSource::kNone, ""},
        {"unterminated meta", "", "<meta charset=\"big5", CharsetSource::kNone, ""},
    };
}

class PageCharsetRow : public testing::TestWithParam<CharsetCase> {};

TEST_P(PageCharsetRow, DeclarationsInOrderOfPrecedence)
{
    const CharsetCase& c = GetParam();
    const PageCharset found = DetectPageCharset(c.header, c.body);
    EXPECT_EQ(found.source, c.source);
    EXPECT_EQ(found.iconvName, c.iconvName);
    EXPECT_EQ(found.bomLength, c.bom);
}

INSTANTIATE_TEST_SUITE_P(, PageCharsetRow, testing::ValuesIn(CharsetRows()), test::ByRowName());

TEST(PageCharset, BrowserLabelsBecomeIconvNames)
{
    const std::pair<const char*, const char*> labels[] = {
        {" UTF8 ", "UTF-8"},
        {"latin1", "CP1252"},
        {"ISO-8859-1", "CP1252"},
        {"us-ascii", "CP1252"},
        {"iso8859-2", "ISO-8859-2"},
        {"iso_8859-15", "ISO-8859-15"},
        {"iso885913", "ISO-8859-13"},
        {"windows-1251", "CP1251"},
        {"x-sjis", "CP932"},
        {"ks_c_5601-1987", "CP949"},
        {"koi8-u", "KOI8-U"},
        {"gb2312", "GB18030"},
        {"utf-7", nullptr},
        {"iso-2022-kr", nullptr},
        {"x-user-defined", nullptr},
        {"iso-8859-12", nullptr},
        {"", nullptr},
    };
    for (const auto& [label, name] : labels) {
        const char* got = IconvNameForLabel(label);
        EXPECT_EQ(got ? std::string(got) : "(none)", name ? std::string(name) : "(none)") << label;
    }
}

TEST(PageCharset, ACutLastCharacterIsMeasured)
{
    const struct {
        const char* encoding;
        std::string bytes;
        size_t cut;
    } cases[] = {
        {"UTF-8", "ab\xE4\xB8\xAD", 0},
        {"UTF-8", "ab\xE4\xB8", 2},
        {"UTF-8", "ab\xE4", 1},
        {"UTF-8", "\xF0\x9F\x98", 3},
        {"UTF-8", "a\x80\x80\x80\x80", 0},
        {"UTF-16LE", std::string("a\0b", 3), 1},
        {"UTF-16LE", std::string("a\0\x3D\xD8", 4), 2},
        {"UTF-16BE", std::string("\xD8\x3D\0", 3), 3},
        {"CP932", "<p>\x93\xfa\x93", 1},
        {"BIG5-HKSCS", "a\xa4\xa4", 0},
        {"BIG5-HKSCS", "a\xa4\xa4\xa4", 1},
        {"CP1252", "\xe9", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CutCharacterLength(c.encoding, c.bytes), c.cut) << c.encoding << " " << c.bytes.size();
}

} // namespace
} // namespace mt
