#include "page_reader.h"

namespace app {
namespace {

bool DeclaresUtf8(const char* page)
{
    return FindText(page, Lit(lit::CharsetUtf8), nullptr, true) != -1 ||
           FindText(page, Lit(lit::CharsetUtf8Quoted), nullptr, true) != -1;
}

} // namespace

UrlCheck CheckUrl(const char* url)
{
    if (!url || !*url)
        return UrlCheck::kEmpty;
    if (FindText(url, Lit(lit::SchemeHttp), nullptr, true) == -1 &&
        FindText(url, Lit(lit::SchemeHttps), nullptr, true) == -1)
        return UrlCheck::kBadScheme;
    return UrlCheck::kOk;
}

bool FetchPage(const char* url, Owned* page)
{
    Owned bytes = ReadUrl(url);
    if (bytes.empty())
        return false;
    *page = BytesToText(bytes.bytes());
    bytes = Owned();
    if (!DeclaresUtf8(page->text()))
        return true;
    Owned raw = TextToBytes(page->text());
    Owned converted = ConvertBytes(raw.bytes(), Lit(lit::EncodingUtf8), Lit(lit::EncodingGb18030), nullptr);
    raw = Owned();
    if (!converted.empty())
        *page = BytesToText(converted.bytes());
    return true;
}

} // namespace app
