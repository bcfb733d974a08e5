#include "net/http_batch.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "net/http_read.h"

namespace mt {

struct HttpBatch::Page {
    uint64_t ticket = 0;
    std::string url; // as sent
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
    Clock::time_point startAt{};  // a retry waits until then
    Clock::time_point deadline{}; // of the whole read, from its first start
    bool started = false;
    bool queued = false; // in waiting_
    bool head = false;   // the lowest ticket held: passes every bound
    bool done = false;
    int64_t cost = 0; // counted in the shared bytes besides the body
    TransferReport report;
};

void HttpBatch::setJobs(int jobs)
{
    drop();
    jobs_ = std::clamp(jobs, 1, kMostJobs);
    mostRunning_ = 0;
    boundConnections();
}

// No more connections than transfers at once, open or kept for reuse, and
// one more for the page that passes the bound.
void HttpBatch::boundConnections()
{
    if (!multi_)
        return;
    curl_multi_setopt(static_cast<CURLM*>(multi_), CURLMOPT_MAX_TOTAL_CONNECTIONS, static_cast<long>(jobs_ + 1));
    curl_multi_setopt(static_cast<CURLM*>(multi_), CURLMOPT_MAXCONNECTS, static_cast<long>(jobs_));
}

bool HttpBatch::add(uint64_t ticket, const char* url)
{
    if (pages_.count(ticket))
        return false;
    auto page = std::make_unique<Page>();
    page->ticket = ticket;
    page->web = transfer::RequestTarget(url, &page->url);
    // Every try runs with the bounds and options set when it was asked for.
    page->limits = TheHttpClient().limits();
    page->options = TheHttpClient().requestOptions();
    shared_.bound = page->limits.memoryBound;
    page->cost = kPageCost + static_cast<int64_t>(page->url.size());
    shared_.held += page->cost;
    page->queued = true;
    waiting_.push_back(page.get());
    pages_.emplace(ticket, std::move(page));
    markHeadAndResume();
    startDue();
    if (!running_.empty())
        round();
    return true;
}

// Room for one more transfer, and nothing left to start now.
bool HttpBatch::hungry() const
{
    if (static_cast<int>(running_.size()) >= jobs_ || shared_.full() || pages_.size() >= kMostPages)
        return false;
    const Clock::time_point now = Clock::now();
    return std::none_of(waiting_.begin(), waiting_.end(), [now](const Page* p) { return p->startAt <= now; });
}

// One turn of the transfers: what is due starts, libcurl moves every
// running one on, the ended ones are collected.
void HttpBatch::round()
{
    startDue();
    if (running_.empty() || !multi_)
        return;
    int running = 0;
    if (curl_multi_perform(static_cast<CURLM*>(multi_), &running) != CURLM_OK)
        failRunning();
    collect();
    pauseWhenFull();
}

bool HttpBatch::wait(uint64_t ticket)
{
    const auto found = pages_.find(ticket);
    if (found == pages_.end())
        return true;
    Page& page = *found->second;
    wanted_ = &page;
    markHeadAndResume();
    for (;;) {
        startDue();
        if (page.done || hungry())
            break;
        round();
        if (page.done || hungry()) // ended pages make room: asked for more before the next wait
            break;
        if (multi_)
            curl_multi_poll(static_cast<CURLM*>(multi_), nullptr, 0, static_cast<int>(pollMilliseconds()), nullptr);
    }
    wanted_ = nullptr;
    return page.done;
}

bool HttpBatch::take(uint64_t ticket, ByteArrayValue* body, TransferReport* report)
{
    const auto found = pages_.find(ticket);
    if (found == pages_.end())
        return false;
    Page& page = *found->second;
    wanted_ = &page;
    markHeadAndResume();
    while (!page.done) {
        round();
        if (page.done)
            break;
        if (multi_)
            curl_multi_poll(static_cast<CURLM*>(multi_), nullptr, 0, static_cast<int>(pollMilliseconds()), nullptr);
    }
    wanted_ = nullptr;
    shared_.held -= page.cost + page.body.size();
    *body = TakeByteArray(page.body);
    *report = std::move(page.report);
    pages_.erase(found);
    markHeadAndResume();
    return true;
}

// Starts the waiting pages that are due, in the order asked, while fewer
// than `jobs` run and the pages' bytes are under the bound; the head starts
// whatever the others hold.
void HttpBatch::startDue()
{
    const Clock::time_point now = Clock::now();
    for (auto it = waiting_.begin();
         it != waiting_.end() && static_cast<int>(running_.size()) < jobs_ && !shared_.full();) {
        Page& page = **it;
        if (page.startAt > now) {
            ++it;
            continue;
        }
        it = waiting_.erase(it);
        page.queued = false;
        start(page);
    }
    for (Page* first : {pages_.empty() ? nullptr : pages_.begin()->second.get(), wanted_}) {
        if (first && first->queued && first->startAt <= now) {
            waiting_.erase(std::find(waiting_.begin(), waiting_.end(), first));
            first->queued = false;
            start(*first);
        }
    }
}

void HttpBatch::start(Page& page)
{
    page.report = TransferReport{};
    page.report.outcome = TransferOutcome::kFailed;
    page.report.reason = TransferReason::kBadUrl;
    if (!page.web) {
        page.done = true;
        return;
    }
    page.report.reason = TransferReason::kOther; // libcurl would not start
    if (!ensureOpen()) {
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
    const bool bounded = page.limits.maxMilliseconds > 0;
    if (!page.started) {
        // The time limit runs from the first try on: waiting for a
        // connection is not the page's time.
        page.started = true;
        page.deadline = Clock::now() + std::chrono::milliseconds(page.limits.maxMilliseconds);
    }
    page.handle = idleHandles_.back();
    idleHandles_.pop_back();
    page.attempt.emplace(&page.cancel, &page.announced);
    page.attempt->sink.shared = &shared_;
    page.attempt->sink.mayPass = &page.head;
    page.attempt->timeLimitMilliseconds = transfer::MillisecondsLeft(bounded, page.deadline);
    running_.insert(std::upper_bound(running_.begin(), running_.end(), &page,
                                     [](const Page* a, const Page* b) { return a->ticket < b->ticket; }),
                    &page);
    mostRunning_ = std::max(mostRunning_, static_cast<int>(running_.size()));
    auto* h = static_cast<CURL*>(page.handle);
    if (!transfer::BeginAttempt(h, page.url, &page.body, &page.received, page.limits, page.options, &*page.attempt) ||
        curl_easy_setopt(h, CURLOPT_PRIVATE, &page) != CURLE_OK ||
        curl_multi_add_handle(static_cast<CURLM*>(multi_), h) != CURLM_OK) {
        finish(page, false, CURLE_OK);
        return;
    }
}

// Ends the transfers libcurl says have ended.
void HttpBatch::collect()
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
        finish(*page, true, code);
    }
}

// Reports on one try and gives its handle back; a page worth another try
// within its time waits for it (its bytes dropped), any other is done.
void HttpBatch::finish(Page& page, bool performed, int code)
{
    running_.erase(std::find(running_.begin(), running_.end(), &page));
    transfer::EndAttempt(page.handle, performed, code, page.body, *page.attempt, page.limits, &page.report);
    idleHandles_.push_back(page.handle); // reset by EndAttempt
    page.handle = nullptr;
    const long retryAfter = page.attempt->retryAfterSeconds;
    page.attempt.reset();
    if (page.retry < page.options.retries && transfer::WorthRetrying(page.report)) {
        const auto wait =
            std::chrono::milliseconds(transfer::RetryWaitMilliseconds(page.retry, retryAfter, page.limits));
        if (page.limits.maxMilliseconds <= 0 || Clock::now() + wait < page.deadline) {
            page.startAt = Clock::now() + wait;
            ++page.retry;
            shared_.held -= page.body.size();
            page.body.setSize(0);
            page.queued = true;
            waiting_.push_front(&page);
            markHeadAndResume();
            return;
        }
    }
    page.done = true;
}

// The multi handle failed as a whole: every running transfer ends with it.
void HttpBatch::failRunning()
{
    const std::vector<Page*> running = running_;
    for (Page* page : running) {
        curl_multi_remove_handle(static_cast<CURLM*>(multi_), page->handle);
        page->retry = page->options.retries; // no retry either
        finish(*page, false, CURLE_OK);
    }
}

// Once the bytes held reach the bound, every transfer but the head's stops
// reading before its next write: libcurl then keeps nothing of theirs
// beyond what the socket holds.
void HttpBatch::pauseWhenFull()
{
    if (!shared_.full())
        return;
    for (Page* page : running_) {
        if (page->head || page->attempt->sink.paused)
            continue;
        if (curl_easy_pause(static_cast<CURL*>(page->handle), CURLPAUSE_RECV) == CURLE_OK)
            page->attempt->sink.paused = true;
    }
}

// The lowest ticket held becomes the head; then the paused transfers go on
// in ticket order, the head's first, while there is room.
void HttpBatch::markHeadAndResume()
{
    if (!pages_.empty())
        pages_.begin()->second->head = true;
    if (wanted_)
        wanted_->head = true;
    const std::vector<Page*> running = running_; // a resumed write may end a transfer
    for (Page* page : running) {
        if (!page->handle || !page->attempt->sink.paused)
            continue;
        if (!page->head && shared_.full())
            break;
        page->attempt->sink.paused = false;
        curl_easy_pause(static_cast<CURL*>(page->handle), CURLPAUSE_CONT);
    }
}

// How long to wait for the sockets: until the first retry is due, at most
// a second.
long HttpBatch::pollMilliseconds() const
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
void HttpBatch::drop()
{
    for (Page* page : running_) {
        auto* h = static_cast<CURL*>(page->handle);
        curl_multi_remove_handle(static_cast<CURLM*>(multi_), h);
        curl_easy_reset(h);
        curl_slist_free_all(static_cast<curl_slist*>(page->attempt->headers));
        idleHandles_.push_back(h);
    }
    running_.clear();
    wanted_ = nullptr;
    waiting_.clear();
    pages_.clear();
    shared_.held = 0;
}

void HttpBatch::release()
{
    drop();
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
bool HttpBatch::ensureOpen()
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
    boundConnections();
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
    TheHttpBatch().setJobs(given ? AsInt32(args[0]) : HttpBatch::kDefaultJobs);
}

void HttpBatchAdd(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const bool ticket = argc >= 1 && args[0].type == kTypeLong;
    const char* url = argc >= 2 && args[1].type == kTypeText ? AsPointer<const char>(args[1]) : nullptr;
    *result = MakeBool(ticket && TheHttpBatch().add(static_cast<uint64_t>(AsInt64(args[0])), url));
}

void HttpBatchWait(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const bool ticket = argc >= 1 && args[0].type == kTypeLong;
    *result = MakeBool(!ticket || TheHttpBatch().wait(static_cast<uint64_t>(AsInt64(args[0]))));
}

void HttpBatchTake(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    ByteArrayValue body = nullptr;
    TransferReport report;
    if (argc >= 1 && args[0].type == kTypeLong)
        TheHttpBatch().take(static_cast<uint64_t>(AsInt64(args[0])), &body, &report);
    TheHttpClient().adoptReport(std::move(report));
    *result = MakePointer(body, kTypeBytes);
}

} // namespace mt
