#include "net/http_batch.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "net/http_read.h"
#include "net/http_transfer.h"

namespace mt {

struct HttpBatch::Page {
    std::string url; // without the fragment
    bool web = false;
    GrowBuffer body;
    std::atomic<bool> cancel{false}; // never set: the batch has no cancel
    std::atomic<int64_t> announced{-1};
    std::atomic<int64_t> received{0};
    std::optional<transfer::Attempt> attempt; // of the running try
    HttpLimits limits;
    RequestOptions options;
    void* handle = nullptr; // CURL* while running
    int retry = 0;
    Clock::time_point startAt{}; // a retry waits until then
    bool done = false;
    TransferReport report;
};

void HttpBatch::SetJobs(int jobs)
{
    Drop();
    jobs_ = std::clamp(jobs, 1, kMostJobs);
    BoundConnections();
}

// No more connections than transfers at once, open or kept for reuse.
void HttpBatch::BoundConnections()
{
    if (!multi_)
        return;
    curl_multi_setopt(static_cast<CURLM*>(multi_), CURLMOPT_MAX_TOTAL_CONNECTIONS, static_cast<long>(jobs_));
    curl_multi_setopt(static_cast<CURLM*>(multi_), CURLMOPT_MAXCONNECTS, static_cast<long>(jobs_));
}

bool HttpBatch::Add(uint64_t ticket, const char* url)
{
    if (pages_.count(ticket))
        return false;
    auto page = std::make_unique<Page>();
    page->web = url && *url && transfer::HasWebScheme(url);
    if (page->web)
        page->url.assign(url, std::strcspn(url, "#"));
    // Every try runs with the bounds and options set when it was asked for.
    page->limits = TheHttpClient().limits();
    page->options = TheHttpClient().requestOptions();
    waiting_.push_back(page.get());
    pages_.emplace(ticket, std::move(page));
    StartDue();
    if (running_ > 0 && multi_) {
        int running = 0;
        if (curl_multi_perform(static_cast<CURLM*>(multi_), &running) != CURLM_OK)
            FailRunning();
        Collect();
    }
    return true;
}

bool HttpBatch::Take(uint64_t ticket, ByteArrayValue* body, TransferReport* report)
{
    const auto found = pages_.find(ticket);
    if (found == pages_.end())
        return false;
    Page& page = *found->second;
    while (!page.done) {
        StartDue();
        if (page.done)
            break;
        if (running_ > 0) {
            int running = 0;
            if (curl_multi_perform(static_cast<CURLM*>(multi_), &running) != CURLM_OK)
                FailRunning();
            Collect();
            if (page.done)
                break;
        }
        if (multi_)
            curl_multi_poll(static_cast<CURLM*>(multi_), nullptr, 0, static_cast<int>(PollMilliseconds()), nullptr);
    }
    *body = TakeByteArray(page.body);
    *report = std::move(page.report);
    pages_.erase(found);
    return true;
}

// Starts the waiting pages that are due, in the order asked, while fewer
// than `jobs` run.
void HttpBatch::StartDue()
{
    const Clock::time_point now = Clock::now();
    for (auto it = waiting_.begin(); it != waiting_.end() && running_ < jobs_;) {
        Page& page = **it;
        if (page.startAt > now) {
            ++it;
            continue;
        }
        it = waiting_.erase(it);
        Start(page);
    }
}

void HttpBatch::Start(Page& page)
{
    page.report = TransferReport{};
    page.report.outcome = TransferOutcome::kFailed;
    page.report.reason = TransferReason::kBadUrl;
    if (!page.web) {
        page.done = true;
        return;
    }
    page.report.reason = TransferReason::kOther; // libcurl would not start
    if (!EnsureOpen()) {
        page.done = true;
        return;
    }
    if (idleHandles_.empty()) {
        CURL* h = curl_easy_init();
        if (!h) {
            page.done = true;
            return;
        }
        idleHandles_.push_back(h);
    }
    page.handle = idleHandles_.back();
    idleHandles_.pop_back();
    page.attempt.emplace(&page.cancel, &page.announced);
    auto* h = static_cast<CURL*>(page.handle);
    if (!transfer::BeginAttempt(h, page.url, &page.body, &page.received, page.limits, page.options, &*page.attempt) ||
        curl_easy_setopt(h, CURLOPT_PRIVATE, &page) != CURLE_OK ||
        curl_multi_add_handle(static_cast<CURLM*>(multi_), h) != CURLM_OK) {
        Finish(page, false, CURLE_OK);
        return;
    }
    ++running_;
}

// Ends the transfers libcurl says have ended.
void HttpBatch::Collect()
{
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(static_cast<CURLM*>(multi_), &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        char* privateData = nullptr;
        curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &privateData);
        const int code = message->data.result; // the message goes with the removal
        auto* page = reinterpret_cast<Page*>(privateData);
        curl_multi_remove_handle(static_cast<CURLM*>(multi_), message->easy_handle);
        --running_;
        Finish(*page, true, code);
    }
}

// Reports on one try and gives its handle back; a page worth another try
// waits for it, any other is done.
void HttpBatch::Finish(Page& page, bool performed, int code)
{
    transfer::EndAttempt(page.handle, performed, code, page.body, *page.attempt, page.limits, &page.report);
    idleHandles_.push_back(page.handle); // reset by EndAttempt
    page.handle = nullptr;
    const long retryAfter = page.attempt->retryAfterSeconds;
    page.attempt.reset();
    if (page.retry < page.options.retries && transfer::WorthRetrying(page.report)) {
        page.startAt = Clock::now() +
                       std::chrono::milliseconds(transfer::RetryWaitMilliseconds(page.retry, retryAfter, page.limits));
        ++page.retry;
        waiting_.push_front(&page);
        return;
    }
    page.done = true;
}

// The multi handle failed as a whole: every running transfer ends with it.
void HttpBatch::FailRunning()
{
    for (auto& [ticket, page] : pages_) {
        if (!page->handle)
            continue;
        curl_multi_remove_handle(static_cast<CURLM*>(multi_), page->handle);
        --running_;
        page->retry = page->options.retries; // no retry either
        Finish(*page, false, CURLE_OK);
    }
}

// How long to wait for the sockets: until the first retry is due when none
// runs, at most a second.
long HttpBatch::PollMilliseconds() const
{
    long wait = 1000;
    const Clock::time_point now = Clock::now();
    for (const Page* page : waiting_) {
        const auto until = std::chrono::duration_cast<std::chrono::milliseconds>(page->startAt - now).count();
        wait = std::min<long>(wait, std::max<long>(0, static_cast<long>(until)));
    }
    return wait;
}

// Ends every transfer and drops every page.
void HttpBatch::Drop()
{
    for (auto& [ticket, page] : pages_) {
        if (!page->handle)
            continue;
        auto* h = static_cast<CURL*>(page->handle);
        curl_multi_remove_handle(static_cast<CURLM*>(multi_), h);
        curl_easy_reset(h);
        curl_slist_free_all(static_cast<curl_slist*>(page->attempt->headers));
        idleHandles_.push_back(h);
    }
    waiting_.clear();
    pages_.clear();
    running_ = 0;
}

void HttpBatch::Release()
{
    Drop();
    for (void* h : idleHandles_)
        curl_easy_cleanup(static_cast<CURL*>(h));
    idleHandles_.clear();
    if (multi_) {
        curl_multi_cleanup(static_cast<CURLM*>(multi_));
        curl_global_cleanup();
        multi_ = nullptr;
    }
}

// Opens the multi handle unless it is open; a failed open leaves nothing
// behind, so that a later transfer tries again.
bool HttpBatch::EnsureOpen()
{
    if (multi_)
        return true;
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        return false;
    CURLM* multi = curl_multi_init();
    if (!multi) {
        curl_global_cleanup();
        return false;
    }
    multi_ = multi;
    BoundConnections();
    return true;
}

HttpBatch& TheHttpBatch()
{
    // No destructor runs the handles down: the library's shutdown does, while
    // libcurl is whole.
    static HttpBatch* batch = new HttpBatch;
    return *batch;
}

void HttpBatchJobs(ValueRecord*, int32_t argc, ValueRecord* args)
{
    const bool given = argc >= 1 && args[0].type == kTypeInt && AsInt32(args[0]) >= 1 &&
                       AsInt32(args[0]) <= HttpBatch::kMostJobs;
    TheHttpBatch().SetJobs(given ? AsInt32(args[0]) : HttpBatch::kDefaultJobs);
}

void HttpBatchAdd(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const bool ticket = argc >= 1 && args[0].type == kTypeLong;
    const char* url = argc >= 2 && args[1].type == kTypeText ? AsPointer<const char>(args[1]) : nullptr;
    *result = MakeBool(ticket && TheHttpBatch().Add(static_cast<uint64_t>(AsInt64(args[0])), url));
}

void HttpBatchTake(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    ByteArrayValue body = nullptr;
    TransferReport report;
    if (argc >= 1 && args[0].type == kTypeLong)
        TheHttpBatch().Take(static_cast<uint64_t>(AsInt64(args[0])), &body, &report);
    TheHttpClient().AdoptReport(std::move(report));
    *result = MakePointer(body, kTypeBytes);
}

} // namespace mt
