#include "url_pages.h"

#include <deque>
#include <utility>

#include "page_reader.h"

namespace app {
namespace {

class SequentialUrlPages final : public UrlPages {
public:
    size_t capacity() const override { return 1; }
    void request(uint64_t ticket, std::string url) override { asked_.emplace_back(ticket, std::move(url)); }
    FetchedPage take(uint64_t ticket) override
    {
        FetchedPage page;
        while (!asked_.empty() && asked_.front().first != ticket)
            asked_.pop_front(); // never taken: dropped unread
        if (asked_.empty())
            return page;
        const Owned url = Join({asked_.front().second});
        asked_.pop_front();
        Owned bytes = ReadUrl(url.text());
        TransferReport report = LastTransfer();
        page.status = report.status;
        page.statusText = std::move(report.statusText);
        page.reason = std::move(report.reason);
        if (bytes.empty() && report.outcome != kTransferComplete && report.outcome != kTransferEndedEarly)
            return page;
        page.outcome = report.outcome == kTransferEndedEarly ? FetchedPage::Outcome::kEndedEarly
                                                             : FetchedPage::Outcome::kRead;
        if (!bytes.empty()) {
            page.text = DecodePage(std::move(bytes), report);
            page.length = TextLength(page.text.text());
        }
        return page;
    }

private:
    std::deque<std::pair<uint64_t, std::string>> asked_;
};

} // namespace

void ApplyRequestOptions(const CliOptions& o)
{
    if (o.maxTime)
        SetTransferTimeLimit(MaxSeconds(*o.maxTime));
    if (!o.userAgent && o.headers.empty() && !o.cookie && !o.retry)
        return;
    std::string headers;
    for (const std::string& line : o.headers)
        headers += (headers.empty() ? "" : "\n") + line;
    SetRequestOptions(o.userAgent ? o.userAgent->c_str() : "", headers.c_str(), o.cookie ? o.cookie->c_str() : "",
                      o.retry ? BoundedNumber(*o.retry, 0, kMaxRetries) : 0);
}

std::unique_ptr<UrlPages> MakeSequentialUrlPages() { return std::make_unique<SequentialUrlPages>(); }

} // namespace app
