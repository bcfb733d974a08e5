#include "page_reader.h"

#include <cstring>

#include "abi/text_value.h"
#include "utf8_to_gb18030.h"

namespace app {
namespace {

// The page decoding's own answers for UTF-8, asked once, by table: a
// character it would replace (one the converter has no code for) is not in
// the table.
const Utf8ToGb18030& Utf8Table()
{
    static const Utf8ToGb18030 table([](std::string_view utf8, std::string* gb) {
        const Owned in = NewBytes(utf8);
        int64_t replaced = -1;
        const Owned out = PageText(in.bytes(), Lit(lit::EncodingUtf8), &replaced);
        *gb = mt::ByteArrayView(out.bytes());
        return replaced == 0;
    });
    return table;
}

// A UTF-8 page whose every character the table answers for, made a text
// straight into the text's own block, up to its first zero byte: what the
// page decoding and the text conversion give for it, without the two
// page-sized blocks between. Empty when the table cannot answer for the
// whole page (a bad sequence, a character the command refuses) or the text
// would be empty; the caller then takes the general way.
Owned Utf8PageText(std::string_view page)
{
    if (page.empty() || page.size() > (SIZE_MAX - 1) / 2)
        return Owned();
    // No character grows beyond twice its UTF-8; the unused tail goes back.
    auto* block = static_cast<char*>(mt::Runtime().allocate(2 * page.size() + 1));
    if (!block)
        return Owned();
    Owned text(block);
    bool whole = false;
    size_t n = Utf8Table().convert(page, block, &whole);
    if (!whole)
        return Owned();
    if (const void* zero = std::memchr(block, 0, n))
        n = static_cast<size_t>(static_cast<const char*>(zero) - block);
    if (n == 0)
        return Owned();
    block[n] = 0;
    void* kept = text.release();
    void* fitted = mt::Runtime().reallocate(kept, n + 1);
    return Owned(fitted ? fitted : kept);
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

Owned DecodePage(Owned bytes, const TransferReport& report, int64_t* replaced)
{
    int64_t ignored = 0;
    int64_t& count = replaced ? *replaced : ignored;
    count = 0;
    if (report.charset.empty() || SameText(report.charset.text(), Lit(lit::EncodingGb18030)))
        return BytesToText(bytes.bytes());
    const std::string_view all = mt::ByteArrayView(bytes.bytes());
    const auto skip = static_cast<size_t>(report.bomLength);
    const auto cut = static_cast<size_t>(report.cutLength);
    // The mark and a cut last character are left out; the whole array is
    // passed as it is when there are neither.
    const bool whole = skip + cut == 0 || skip + cut > all.size();
    if (SameText(report.charset.text(), Lit(lit::EncodingUtf8))) {
        Owned text = Utf8PageText(whole ? all : all.substr(skip, all.size() - skip - cut));
        if (!text.empty())
            return text;
    }
    const Owned part = whole ? Owned() : NewBytes(all.substr(skip, all.size() - skip - cut));
    Owned out = PageText(whole ? bytes.bytes() : part.bytes(), report.charset.text(), &count);
    if (count < 0) {
        count = 0;
        return BytesToText(bytes.bytes()); // shown as received
    }
    bytes = Owned(); // a large page is not held three times over
    return BytesToText(out.bytes());
}

PageOutcome FetchPage(const char* url, Owned* page, Owned* reason, int64_t* replaced)
{
    Owned bytes = ReadUrl(url);
    TransferReport report = LastTransfer();
    if (report.outcome == kTransferCancelled)
        return PageOutcome::kCancelled;
    *reason = std::move(report.reason);
    if (bytes.empty())
        return PageOutcome::kNothing;
    *page = DecodePage(std::move(bytes), report, replaced);
    return report.outcome == kTransferEndedEarly ? PageOutcome::kEndedEarly : PageOutcome::kShown;
}

} // namespace app
