#include "net/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

#include "net/http_transfer.h"

namespace mt {

bool HttpClient::read(const char* url, GrowBuffer& out)
{
    if (busy_.exchange(true)) {
        // Another request holds the handle (this one was made from inside
        // the wait for it): refused, and the report stays the other's.
        out.setSize(0);
        return false;
    }
    cancel_ = false; // a cancel meant for an earlier request
    std::string target;
    const bool web = transfer::RequestTarget(url, &target);
    // The time limit bounds the whole read, every retry and wait included.
    const bool bounded = limits_.maxMilliseconds > 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limits_.maxMilliseconds);
    for (int retry = 0;; ++retry) {
        out.setSize(0);
        received_ = 0;
        announced_ = -1;
        last_ = TransferReport{};
        last_.outcome = TransferOutcome::kFailed;
        last_.reason = TransferReason::kBadUrl;
        if (!web)
            break;
        if (!ensureOpen()) {
            last_.reason = TransferReason::kOther; // libcurl would not start
            break;
        }
        transfer::Attempt attempt(&cancel_, &announced_);
        attempt.timeLimitMilliseconds = transfer::MillisecondsLeft(bounded, deadline);
        readOnce(target, out, &attempt);
        if (retry >= options_.retries || !transfer::WorthRetrying(last_))
            break;
        const long wait = transfer::RetryWaitMilliseconds(retry, attempt.retryAfterSeconds, limits_);
        if ((bounded && std::chrono::steady_clock::now() + std::chrono::milliseconds(wait) >= deadline) ||
            !waitToRetry(wait))
            break;
    }
    busy_ = false;
    return last_.outcome == TransferOutcome::kComplete;
}

// One try of the request: the body into `out`, the report into last_.
void HttpClient::readOnce(const std::string& target, GrowBuffer& out, transfer::Attempt* attempt)
{
    auto* h = static_cast<CURL*>(handle_);
    int code = CURLE_OK;
    const bool performed =
        transfer::BeginAttempt(h, target, &out, &received_, limits_, options_, attempt) && perform(&code);
    transfer::EndAttempt(h, performed, code, out, *attempt, limits_, &last_);
}

// Waits `wait` milliseconds before a retry. A cancel ends the wait at once
// (false).
bool HttpClient::waitToRetry(long wait)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(wait);
    auto* multi = static_cast<CURLM*>(multi_.load());
    while (!cancel_.load()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return true;
        curl_multi_poll(multi, nullptr, 0, static_cast<int>(std::min<long long>(left, 1000)), nullptr);
    }
    last_.outcome = TransferOutcome::kCancelled;
    last_.reason = TransferReason::kCancelled;
    return false;
}

// Runs the configured transfer on the multi handle, which a cancel can wake
// from its wait. False when libcurl could not run it at all; otherwise
// *code is the transfer's result.
bool HttpClient::perform(int* code)
{
    auto* multi = static_cast<CURLM*>(multi_.load());
    auto* h = static_cast<CURL*>(handle_);
    if (curl_multi_add_handle(multi, h) != CURLM_OK)
        return false;
    int running = 1;
    CURLMcode status = CURLM_OK;
    while (status == CURLM_OK) {
        status = curl_multi_perform(multi, &running);
        if (status != CURLM_OK || running == 0 || cancel_.load())
            break;
        status = curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    *code = cancel_.load() ? CURLE_ABORTED_BY_CALLBACK : CURLE_OK;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == h && !cancel_.load())
            *code = message->data.result;
    }
    if (running != 0 && !cancel_.load())
        *code = CURLE_RECV_ERROR; // the multi handle itself failed
    curl_multi_remove_handle(multi, h);
    return status == CURLM_OK || cancel_.load();
}

void HttpClient::cancel()
{
    cancel_ = true;
    if (void* multi = multi_.load())
        curl_multi_wakeup(static_cast<CURLM*>(multi));
}

void HttpClient::release()
{
    if (!handle_ || busy_.load())
        return;
    curl_multi_cleanup(static_cast<CURLM*>(multi_.exchange(nullptr)));
    curl_easy_cleanup(static_cast<CURL*>(handle_));
    curl_global_cleanup();
    handle_ = nullptr;
}

// Opens the shared handles unless they are open. A failed open leaves
// nothing behind, so that a later request tries again.
bool HttpClient::ensureOpen()
{
    if (handle_)
        return true;
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        return false;
    handle_ = curl_easy_init();
    CURLM* multi = curl_multi_init();
    if (!handle_ || !multi) {
        curl_easy_cleanup(static_cast<CURL*>(handle_));
        curl_multi_cleanup(multi);
        curl_global_cleanup();
        handle_ = nullptr;
        return false;
    }
    multi_ = multi;
    ++opens_;
    return true;
}

int64_t HttpLimits::pageLimit() const { return std::max<int64_t>(0, std::min(bodyLimit, memoryBound)); }

HttpClient& TheHttpClient()
{
    // HttpClient has no destructor: the handle is closed by ReleaseHttpClient
    // at the library's shutdown, while libcurl and OpenSSL are still whole,
    // never during static destruction.
    static HttpClient client;
    return client;
}

void ReleaseHttpClient() { TheHttpClient().release(); }

} // namespace mt
