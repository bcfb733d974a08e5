// The encoding labels browsers know, and the iconv names pages under them
// are converted with.
#include <cstddef>
#include <string>
#include <string_view>

#include "net/charset_ascii.h"
#include "net/page_charset.h"

namespace mt {
namespace {

using charset::IsBlank;
using charset::Lower;

// Browser encoding labels and the iconv names we convert them with.
struct Label {
    const char* label;
    const char* iconvName;
};

// The GB family needs no conversion: the runtime's texts are GB18030.
constexpr const char* kGbFamily = kPageIsGb18030;

constexpr Label kLabels[] = {
    {"unicode-1-1-utf-8", "UTF-8"},
    {"unicode11utf8", "UTF-8"},
    {"unicode20utf8", "UTF-8"},
    {"utf-8", "UTF-8"},
    {"utf8", "UTF-8"},
    {"x-unicode20utf8", "UTF-8"},
    {"utf-16", "UTF-16LE"},
    {"utf-16le", "UTF-16LE"},
    {"ucs-2", "UTF-16LE"},
    {"unicode", "UTF-16LE"},
    {"unicodefeff", "UTF-16LE"},
    {"csunicode", "UTF-16LE"},
    {"iso-10646-ucs-2", "UTF-16LE"},
    {"utf-16be", "UTF-16BE"},
    {"unicodefffe", "UTF-16BE"},
    {"chinese", kGbFamily},
    {"csgb2312", kGbFamily},
    {"csiso58gb231280", kGbFamily},
    {"gb2312", kGbFamily},
    {"gb_2312", kGbFamily},
    {"gb_2312-80", kGbFamily},
    {"gbk", kGbFamily},
    {"iso-ir-58", kGbFamily},
    {"x-gbk", kGbFamily},
    {"gb18030", kGbFamily},
    {"big5", "BIG5-HKSCS"},
    {"big5-hkscs", "BIG5-HKSCS"},
    {"cn-big5", "BIG5-HKSCS"},
    {"csbig5", "BIG5-HKSCS"},
    {"x-x-big5", "BIG5-HKSCS"},
    {"csshiftjis", "CP932"},
    {"ms932", "CP932"},
    {"ms_kanji", "CP932"},
    {"shift-jis", "CP932"},
    {"shift_jis", "CP932"},
    {"sjis", "CP932"},
    {"windows-31j", "CP932"},
    {"x-sjis", "CP932"},
    {"cseucpkdfmtjapanese", "EUC-JP"},
    {"euc-jp", "EUC-JP"},
    {"x-euc-jp", "EUC-JP"},
    {"cseuckr", "CP949"},
    {"csksc56011987", "CP949"},
    {"euc-kr", "CP949"},
    {"iso-ir-149", "CP949"},
    {"korean", "CP949"},
    {"ks_c_5601-1987", "CP949"},
    {"ks_c_5601-1989", "CP949"},
    {"ksc5601", "CP949"},
    {"ksc_5601", "CP949"},
    {"windows-949", "CP949"},
    {"cskoi8r", "KOI8-R"},
    {"koi", "KOI8-R"},
    {"koi8", "KOI8-R"},
    {"koi8-r", "KOI8-R"},
    {"koi8_r", "KOI8-R"},
    {"koi8-ru", "KOI8-U"},
    {"koi8-u", "KOI8-U"},
    {"866", "IBM866"},
    {"cp866", "IBM866"},
    {"csibm866", "IBM866"},
    {"ibm866", "IBM866"},
    {"csmacintosh", "MACINTOSH"},
    {"mac", "MACINTOSH"},
    {"macintosh", "MACINTOSH"},
    {"x-mac-roman", "MACINTOSH"},
    {"x-mac-cyrillic", "MAC-CYRILLIC"},
    {"x-mac-ukrainian", "MAC-CYRILLIC"},
    {"dos-874", "CP874"},
    {"iso-8859-11", "CP874"},
    {"iso8859-11", "CP874"},
    {"iso885911", "CP874"},
    {"tis-620", "CP874"},
    {"windows-874", "CP874"},
    // windows-1252 also stands for Latin-1 and ASCII, as in browsers.
    {"ansi_x3.4-1968", "CP1252"},
    {"ascii", "CP1252"},
    {"cp1252", "CP1252"},
    {"cp819", "CP1252"},
    {"csisolatin1", "CP1252"},
    {"ibm819", "CP1252"},
    {"iso-8859-1", "CP1252"},
    {"iso-ir-100", "CP1252"},
    {"iso8859-1", "CP1252"},
    {"iso88591", "CP1252"},
    {"iso_8859-1", "CP1252"},
    {"iso_8859-1:1987", "CP1252"},
    {"l1", "CP1252"},
    {"latin1", "CP1252"},
    {"us-ascii", "CP1252"},
    {"windows-1252", "CP1252"},
    {"x-cp1252", "CP1252"},
    {"cp1250", "CP1250"},
    {"windows-1250", "CP1250"},
    {"x-cp1250", "CP1250"},
    {"cp1251", "CP1251"},
    {"windows-1251", "CP1251"},
    {"x-cp1251", "CP1251"},
    {"cp1253", "CP1253"},
    {"windows-1253", "CP1253"},
    {"x-cp1253", "CP1253"},
    {"cp1254", "CP1254"},
    {"windows-1254", "CP1254"},
    {"x-cp1254", "CP1254"},
    {"csisolatin5", "CP1254"},
    {"iso-8859-9", "CP1254"},
    {"iso-ir-148", "CP1254"},
    {"iso8859-9", "CP1254"},
    {"iso88599", "CP1254"},
    {"iso_8859-9", "CP1254"},
    {"iso_8859-9:1989", "CP1254"},
    {"l5", "CP1254"},
    {"latin5", "CP1254"},
    {"cp1255", "CP1255"},
    {"windows-1255", "CP1255"},
    {"x-cp1255", "CP1255"},
    {"cp1256", "CP1256"},
    {"windows-1256", "CP1256"},
    {"x-cp1256", "CP1256"},
    {"cp1257", "CP1257"},
    {"windows-1257", "CP1257"},
    {"x-cp1257", "CP1257"},
    {"cp1258", "CP1258"},
    {"windows-1258", "CP1258"},
    {"x-cp1258", "CP1258"},
    {"csisolatin2", "ISO-8859-2"},
    {"iso-ir-101", "ISO-8859-2"},
    {"l2", "ISO-8859-2"},
    {"latin2", "ISO-8859-2"},
    {"csisolatin3", "ISO-8859-3"},
    {"iso-ir-109", "ISO-8859-3"},
    {"l3", "ISO-8859-3"},
    {"latin3", "ISO-8859-3"},
    {"csisolatin4", "ISO-8859-4"},
    {"iso-ir-110", "ISO-8859-4"},
    {"l4", "ISO-8859-4"},
    {"latin4", "ISO-8859-4"},
    {"csisolatincyrillic", "ISO-8859-5"},
    {"cyrillic", "ISO-8859-5"},
    {"iso-ir-144", "ISO-8859-5"},
    {"arabic", "ISO-8859-6"},
    {"asmo-708", "ISO-8859-6"},
    {"csiso88596e", "ISO-8859-6"},
    {"csiso88596i", "ISO-8859-6"},
    {"csisolatinarabic", "ISO-8859-6"},
    {"ecma-114", "ISO-8859-6"},
    {"iso-8859-6-e", "ISO-8859-6"},
    {"iso-8859-6-i", "ISO-8859-6"},
    {"iso-ir-127", "ISO-8859-6"},
    {"csisolatingreek", "ISO-8859-7"},
    {"ecma-118", "ISO-8859-7"},
    {"elot_928", "ISO-8859-7"},
    {"greek", "ISO-8859-7"},
    {"greek8", "ISO-8859-7"},
    {"iso-ir-126", "ISO-8859-7"},
    {"sun_eu_greek", "ISO-8859-7"},
    {"csiso88598e", "ISO-8859-8"},
    {"csisolatinhebrew", "ISO-8859-8"},
    {"hebrew", "ISO-8859-8"},
    {"iso-8859-8-e", "ISO-8859-8"},
    {"iso-ir-138", "ISO-8859-8"},
    {"visual", "ISO-8859-8"},
    {"csiso88598i", "ISO-8859-8"},
    {"iso-8859-8-i", "ISO-8859-8"},
    {"logical", "ISO-8859-8"},
    {"csisolatin6", "ISO-8859-10"},
    {"iso-ir-157", "ISO-8859-10"},
    {"l6", "ISO-8859-10"},
    {"latin6", "ISO-8859-10"},
    {"csisolatin9", "ISO-8859-15"},
    {"l9", "ISO-8859-15"},
};

// The ISO 8859 parts browsers know, each under four spellings
// ("iso-8859-2", "iso8859-2", "iso88592", "iso_8859-2"); 1, 9 and 11 are
// in the table above.
constexpr int kIsoParts[] = {2, 3, 4, 5, 6, 7, 8, 10, 13, 14, 15, 16};
constexpr const char* kIsoNames[] = {"ISO-8859-2", "ISO-8859-3", "ISO-8859-4", "ISO-8859-5", "ISO-8859-6",
                                     "ISO-8859-7", "ISO-8859-8", "ISO-8859-10", "ISO-8859-13", "ISO-8859-14",
                                     "ISO-8859-15", "ISO-8859-16"};

const char* IsoPart(std::string_view label)
{
    for (std::string_view stem : {"iso-8859-", "iso8859-", "iso_8859-", "iso8859"}) {
        if (label.substr(0, stem.size()) != stem)
            continue;
        const std::string_view number = label.substr(stem.size());
        for (size_t i = 0; i < std::size(kIsoParts); ++i) {
            if (number == std::to_string(kIsoParts[i]))
                return kIsoNames[i];
        }
    }
    return nullptr;
}

} // namespace

const char* IconvNameForLabel(std::string_view label)
{
    while (!label.empty() && IsBlank(label.front()))
        label.remove_prefix(1);
    while (!label.empty() && IsBlank(label.back()))
        label.remove_suffix(1);
    if (label.empty() || label.size() > 32)
        return nullptr;
    std::string lower(label);
    for (char& c : lower)
        c = Lower(c);
    for (const Label& l : kLabels) {
        if (lower == l.label)
            return l.iconvName;
    }
    return IsoPart(lower);
}

} // namespace mt
