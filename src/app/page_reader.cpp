#include "page_reader.h"

#include "abi/text_value.h"

namespace app {

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
