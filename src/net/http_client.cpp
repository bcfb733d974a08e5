#include "net/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

#include "net/http_transfer.h"
#include "net/page_charset.h"

namespace mt {
namespace {

// A GrowBuffer counts in 32 bits; a body is kept to well below that.
constexpr int64_t kLargestBody = int64_t{1} << 30;

} // namespace

// What one try of a request leaves behind besides the body.
struct HttpClient::Attempt {
    transfer::ResponseHead head;
    bool sinkFull = false;
    bool sinkRefused = false;
    long retryAfterSeconds = 0;
    char errorText[CURL_ERROR_SIZE] = {};
};

bool HttpClient::Read(const char* url, GrowBuffer& out)
{
    if (busy_.exchange(true)) {
        // Another request holds the handle (this one was made from inside
        // the wait for it): refused, and the report stays the other's.
        out.SetSize(0);
        return false;
    }
    cancel_ = false; // a cancel meant for an earlier request
    const bool web = url && *url && transfer::HasWebScheme(url);
    for (int retry = 0;; ++retry) {
        out.SetSize(0);
        received_ = 0;
        announced_ = -1;
        last_ = TransferReport{};
        last_.outcome = TransferOutcome::kFailed;
        last_.reason = TransferReason::kBadUrl;
        if (!web)
            break;
        if (!EnsureOpen()) {
            last_.reason = TransferReason::kOther; // libcurl would not start
            break;
        }
        Attempt attempt{{&cancel_, &announced_, {}, false}};
        ReadOnce(std::string(url, std::strcspn(url, "#")), out, &attempt);
        if (retry >= options_.retries || !WorthRetrying() || !WaitToRetry(retry, attempt.retryAfterSeconds))
            break;
    }
    busy_ = false;
    return last_.outcome == TransferOutcome::kComplete;
}

// One try of the request: the body into `out`, the report into last_.
void HttpClient::ReadOnce(const std::string& target, GrowBuffer& out, Attempt* attempt)
{
    auto* h = static_cast<CURL*>(handle_);
    auto* headers = static_cast<curl_slist*>(transfer::RequestHeaders(options_));
    transfer::BodySink sink{h, &out, std::clamp<int64_t>(limits_.bodyLimit, 0, kLargestBody), &received_};
    sink.encoded = &attempt->head.encoded;
    int code = CURLE_OK;
    const bool performed = headers &&
                           transfer::Configure(h, target, headers, &sink, &attempt->head, limits_, options_,
                                               attempt->errorText) &&
                           Perform(&code);
    out.SetSize(static_cast<int32_t>(sink.filled)); // shrinking never fails
    attempt->sinkFull = sink.full;
    attempt->sinkRefused = sink.refused;
    curl_off_t retryAfter = 0;
    if (performed && curl_easy_getinfo(h, CURLINFO_RETRY_AFTER, &retryAfter) == CURLE_OK && retryAfter > 0)
        attempt->retryAfterSeconds = static_cast<long>(std::min<curl_off_t>(retryAfter, 1L << 30));
    Finish(performed, code, out, *attempt);
    curl_easy_reset(h); // drops the pointers into this call's headers, sink and attempt
    curl_slist_free_all(headers);
}

// A failed connect, a time-out or a 5xx answer: worth another try.
bool HttpClient::WorthRetrying() const
{
    switch (last_.reason) {
    case TransferReason::kConnect:
    case TransferReason::kConnectTimeout:
    case TransferReason::kStalled:
    case TransferReason::kTimeLimit: return true;
    case TransferReason::kCancelled: return false;
    default: return last_.status >= 500 && last_.status <= 599;
    }
}

// Waits before retry number `retry` + 1: the server's Retry-After when it
// sent one, else a wait that doubles from the first, either at most the
// longest wait. A cancel ends the wait at once (false).
bool HttpClient::WaitToRetry(int retry, long retryAfterSeconds)
{
    const long longest = std::max(0L, limits_.longestRetryWaitSeconds) * 1000L;
    long wait = std::max(0L, limits_.firstRetryMilliseconds) << std::min(retry, 20);
    if (retryAfterSeconds > 0)
        wait = std::min(retryAfterSeconds, longest / 1000 + 1) * 1000L;
    wait = std::min(wait, longest);
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
bool HttpClient::Perform(int* code)
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

// Fills the report on the request just made.
void HttpClient::Finish(bool performed, int code, const GrowBuffer& out, const Attempt& attempt)
{
    auto* h = static_cast<CURL*>(handle_);
    TransferReport& r = last_;
    r.received = out.size();
    const char* type = nullptr;
    if (performed && curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        r.contentType = type;
    long status = 0;
    if (performed && curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status > 0 && status < 1000) {
        r.status = static_cast<int32_t>(status);
        r.statusText = transfer::StatusText(status, attempt.head.reasonPhrase);
    }
    if (!performed) {
        r.reason = TransferReason::kOther;
    } else if (code == CURLE_OK) {
        r.reason = out.size() == 0 ? TransferReason::kNothingReturned : TransferReason::kNone;
    } else if (code == CURLE_WRITE_ERROR && (attempt.sinkRefused || attempt.sinkFull)) {
        r.reason = attempt.sinkRefused ? TransferReason::kNoMemory : TransferReason::kTooLarge;
    } else {
        CurlFailure failure;
        failure.code = code;
        failure.responseCode = status;
        failure.message = attempt.errorText;
        failure.bodyStarted = out.size() > 0;
        curl_off_t connected = 0, total = 0;
        curl_easy_getinfo(h, CURLINFO_CONNECT_TIME_T, &connected);
        curl_easy_getinfo(h, CURLINFO_TOTAL_TIME_T, &total);
        failure.connected = connected > 0;
        const long limit = std::min(limits_.maxSeconds, HttpLimits::kLongestSeconds);
        failure.timeLimitHit = limit > 0 && total >= static_cast<curl_off_t>(limit) * 1000000 - 50000;
        r.reason = ReasonForFailure(failure);
    }
    if (r.reason == TransferReason::kCancelled)
        r.outcome = TransferOutcome::kCancelled;
    else if (performed && code == CURLE_OK)
        r.outcome = TransferOutcome::kComplete;
    else
        r.outcome = out.size() > 0 ? TransferOutcome::kEndedEarly : TransferOutcome::kFailed;
    if (out.size() == 0)
        return;
    const std::string_view body(reinterpret_cast<const char*>(out.data()), static_cast<size_t>(out.size()));
    const PageCharset charset = DetectPageCharset(r.contentType, body);
    r.charset = charset.iconvName;
    r.bomLength = static_cast<int32_t>(charset.bomLength);
    if (r.outcome == TransferOutcome::kEndedEarly)
        r.cutLength = static_cast<int32_t>(CutCharacterLength(r.charset, body.substr(charset.bomLength)));
}

void HttpClient::Cancel()
{
    cancel_ = true;
    if (void* multi = multi_.load())
        curl_multi_wakeup(static_cast<CURLM*>(multi));
}

void HttpClient::Release()
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
bool HttpClient::EnsureOpen()
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

HttpClient& TheHttpClient()
{
    // HttpClient has no destructor: the handle is closed by ReleaseHttpClient
    // at the library's shutdown, while libcurl and OpenSSL are still whole,
    // never during static destruction.
    static HttpClient client;
    return client;
}

void ReleaseHttpClient() { TheHttpClient().Release(); }

} // namespace mt
