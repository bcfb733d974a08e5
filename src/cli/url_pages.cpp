#include "url_pages.h"

#include <utility>

#include "shared/page_reader.h"

namespace app {
namespace {

// Pages read several at once by the internet library's batch: each is
// asked for under its ticket as soon as the caller names it, and taken in
// turn, its transfer reported on as a single read is.
class ParallelUrlPages final : public UrlPages {
public:
    explicit ParallelUrlPages(int32_t jobs) : jobs_(jobs) { SetBatchJobs(jobs); }
    ~ParallelUrlPages() override { SetBatchJobs(jobs_); } // drops pages never taken
    void request(uint64_t ticket, std::string url) override { BatchAdd(ticket, url.c_str()); }
    bool wait(uint64_t ticket) override { return BatchWait(ticket); }
    FetchedPage take(uint64_t ticket) override
    {
        FetchedPage page;
        Owned bytes = BatchTake(ticket);
        TransferReport report = LastTransfer();
        page.status = report.status;
        page.statusText = std::move(report.statusText);
        page.reason = std::move(report.reason);
        page.error = std::move(report.error);
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
    int32_t jobs_;
};

} // namespace

void ApplyRequestOptions(const CliOptions& o)
{
    TransferBounds bounds;
    if (o.maxTime)
        bounds.maxMilliseconds = Milliseconds(*o.maxTime);
    if (o.connectTimeout)
        bounds.connectMilliseconds = Milliseconds(*o.connectTimeout);
    if (o.speedLimit)
        bounds.speedLimit = SizeValue(*o.speedLimit, 0, kMaxSpeedLimit);
    if (o.speedTime)
        bounds.speedSeconds = BoundedNumber(*o.speedTime, 0, kMaxSeconds);
    if (o.maxFileSize)
        bounds.maxFileSize = SizeValue(*o.maxFileSize, 1, kMaxFileSize);
    if (o.maxMemory)
        bounds.maxMemory = SizeValue(*o.maxMemory, 1, kMaxMemory);
    SetTransferBounds(bounds);
    std::string headers;
    for (const std::string& line : o.headers)
        headers += (headers.empty() ? "" : "\n") + line;
    RequestSettings s;
    s.userAgent = o.userAgent ? o.userAgent->c_str() : "";
    s.headers = headers.c_str();
    s.cookies = o.cookie ? o.cookie->c_str() : "";
    s.retries = o.retry ? BoundedNumber(*o.retry, 0, kMaxRetries) : 0;
    s.insecure = o.insecure;
    s.caFile = o.caFile ? o.caFile->c_str() : "";
    s.proxy = o.proxy ? o.proxy->c_str() : "";
    s.maxRedirects = o.maxRedirs ? BoundedNumber(*o.maxRedirs, 0, kMaxRedirects) : -1;
    s.noCompression = o.noCompressed;
    s.keepHeaders = o.dumpHeader.has_value();
    SetRequestOptions(s);
}

std::unique_ptr<UrlPages> MakeUrlPages(const CliOptions& o)
{
    const int32_t jobs = o.jobs ? BoundedNumber(*o.jobs, 1, kMaxJobs) : kDefaultJobs;
    return std::make_unique<ParallelUrlPages>(jobs > 0 ? jobs : kDefaultJobs);
}

} // namespace app
