#include "net/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

#include "net/net_texts.h"
#include "net/page_charset.h"
#include "platform/start_directory.h"

namespace mt {
namespace {

constexpr const char* kAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr const char* kWebSchemes = "http,https";
// A GrowBuffer counts in 32 bits; a body is kept to well below that.
constexpr int64_t kLargestBody = int64_t{1} << 30;
// libcurl's receive buffer: large pieces mean few calls per megabyte.
constexpr long kReceiveBuffer = 256L << 10;

// Where the body of one transfer goes. The buffer's size runs ahead of the
// bytes written so far (`filled`): to the announced length at once, else
// four times over, so that a large body costs a few moves rather than one
// per piece. A GrowBuffer grows by copying into a fresh block (so that a
// refusal can be reported); growing fourfold keeps the bytes copied to a
// third of the body. Read trims the buffer to `filled` afterwards.
struct BodySink {
    CURL* handle;
    GrowBuffer* out;
    int64_t limit;
    std::atomic<int64_t>* progress; // filled, for watchers on other threads
    int64_t filled = 0;
    bool first = true;
    bool full = false;    // the limit stopped the transfer
    bool refused = false; // the buffer could not grow
};

// What the progress callback reaches of the client.
struct HttpClientProgress {
    std::atomic<bool>* cancel;
    std::atomic<int64_t>* announced;
};

// The size to give the buffer when `need` bytes no longer fit: the announced
// length for the first piece, else at least four times the current size;
// never beyond the limit (need itself is within it).
int64_t SizeAhead(const BodySink& sink, int64_t need)
{
    int64_t ahead = 4 * static_cast<int64_t>(sink.out->size());
    if (sink.first) {
        curl_off_t announced = -1;
        curl_easy_getinfo(sink.handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
        ahead = announced;
    }
    return std::min(std::max(need, static_cast<int64_t>(ahead)), sink.limit);
}

// Makes the buffer hold at least `need` bytes. When running ahead is refused
// the exact size is tried, so that memory runs out as late as possible.
bool MakeRoom(BodySink& sink, int64_t need)
{
    if (need <= sink.out->size())
        return true;
    return sink.out->SetSize(static_cast<int32_t>(SizeAhead(sink, need))) ||
           sink.out->SetSize(static_cast<int32_t>(need));
}

// libcurl's write callback. Keeps what fits under the limit; a short count
// makes libcurl end the transfer with what has been kept so far, which is
// what happens at the limit and when the buffer cannot grow.
size_t WriteBody(char* bytes, size_t size, size_t count, void* userdata)
{
    auto* sink = static_cast<BodySink*>(userdata);
    const auto offered = static_cast<int64_t>(size * count);
    int64_t take = std::min(offered, sink->limit - sink->filled);
    sink->full = take < offered;
    if (take > 0 && !MakeRoom(*sink, sink->filled + take)) {
        sink->refused = true;
        return 0;
    }
    if (take <= 0)
        return 0;
    sink->first = false;
    std::memcpy(sink->out->data() + sink->filled, bytes, static_cast<size_t>(take));
    sink->filled += take;
    sink->progress->store(sink->filled, std::memory_order_relaxed);
    return static_cast<size_t>(take);
}

// True when the URL's scheme (the text before the first ':') is http or
// https in any case.
bool HasWebScheme(const char* url)
{
    const char* colon = std::strchr(url, ':');
    if (!colon)
        return false;
    auto length = static_cast<size_t>(colon - url);
    return (length == 4 && strncasecmp(url, "http", 4) == 0) || (length == 5 && strncasecmp(url, "https", 5) == 0);
}

// The CA file the environment names, the conventional way: CURL_CA_BUNDLE,
// else SSL_CERT_FILE; a relative path is taken from the directory the
// program was started from. Empty when neither is set, leaving libcurl's
// default.
std::string CaFileFromEnvironment()
{
    for (const char* name : {"CURL_CA_BUNDLE", "SSL_CERT_FILE"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return platform::FromStartDirectory(value);
    }
    return {};
}

// libcurl's progress callback: the announced length for watchers, and the
// cancel request.
int Progress(void* client, curl_off_t total, curl_off_t, curl_off_t, curl_off_t)
{
    auto* c = static_cast<HttpClientProgress*>(client);
    c->announced->store(total > 0 ? total : -1, std::memory_order_relaxed);
    return c->cancel->load() ? 1 : 0;
}

// The request headers: accept anything and bypass every cache on the way
// (Pragma for HTTP/1.0 caches, Cache-Control for newer ones). Null when the
// list cannot be built.
curl_slist* RequestHeaders()
{
    curl_slist* list = nullptr;
    for (const char* line : {"Accept: */*", "Pragma: no-cache", "Cache-Control: no-cache"}) {
        curl_slist* longer = curl_slist_append(list, line);
        if (!longer) {
            curl_slist_free_all(list);
            return nullptr;
        }
        list = longer;
    }
    return list;
}

// Sets every option of one GET on a freshly reset handle. False when
// libcurl refuses any of them: the request is then not made, rather than
// made with weaker settings.
bool Configure(CURL* h, const std::string& url, curl_slist* headers, BodySink* sink, HttpClientProgress* progress,
               const HttpLimits& limits)
{
    bool ok = curl_easy_setopt(h, CURLOPT_URL, url.c_str()) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, kWebSchemes) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, kWebSchemes) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_MAXREDIRS, limits.maxRedirects) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0)) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_USERAGENT, kAgent) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_PROXY, "") == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_NOPROXY, "*") == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK;
    if (const std::string ca = CaFileFromEnvironment(); !ca.empty())
        ok &= curl_easy_setopt(h, CURLOPT_CAINFO, ca.c_str()) == CURLE_OK; // libcurl copies it
    ok &= curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteBody) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_WRITEDATA, sink) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_TIMEOUT, limits.maxSeconds) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, Progress) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_XFERINFODATA, progress) == CURLE_OK;
    // Only a matter of speed, so a refusal does not stop the request (after
    // some failed transfers libcurl keeps the buffer it has).
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, kReceiveBuffer);
    return ok;
}

// Why libcurl gave up, in our terms.
TransferReason ReasonFor(CURL* h, CURLcode code, const HttpLimits& limits)
{
    switch (code) {
    case CURLE_URL_MALFORMAT: return TransferReason::kBadUrl;
    case CURLE_UNSUPPORTED_PROTOCOL: return TransferReason::kRedirectRefused; // the first URL was checked
    case CURLE_TOO_MANY_REDIRECTS: return TransferReason::kTooManyRedirects;
    case CURLE_COULDNT_RESOLVE_HOST: return TransferReason::kResolve;
    case CURLE_COULDNT_CONNECT: return TransferReason::kConnect;
    case CURLE_PEER_FAILED_VERIFICATION: return TransferReason::kCertificate;
    case CURLE_SSL_CACERT_BADFILE: return TransferReason::kCaFile;
    case CURLE_SSL_CONNECT_ERROR: return TransferReason::kSecureChannel;
    case CURLE_GOT_NOTHING: return TransferReason::kNothingReturned;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE: return TransferReason::kBroken;
    case CURLE_ABORTED_BY_CALLBACK: return TransferReason::kCancelled;
    case CURLE_OUT_OF_MEMORY: return TransferReason::kNoMemory;
    case CURLE_OPERATION_TIMEDOUT: {
        curl_off_t connected = 0, total = 0;
        curl_easy_getinfo(h, CURLINFO_CONNECT_TIME_T, &connected);
        curl_easy_getinfo(h, CURLINFO_TOTAL_TIME_T, &total);
        if (limits.maxSeconds > 0 && total >= static_cast<curl_off_t>(limits.maxSeconds) * 1000000 - 50000)
            return TransferReason::kTimeLimit;
        return connected == 0 ? TransferReason::kConnectTimeout : TransferReason::kStalled;
    }
    default: return TransferReason::kOther;
    }
}

} // namespace

const char* ReasonText(TransferReason reason)
{
    switch (reason) {
    case TransferReason::kNone: return "";
    case TransferReason::kBadUrl: return gb::kReasonBadUrl;
    case TransferReason::kResolve: return gb::kReasonResolve;
    case TransferReason::kConnect: return gb::kReasonConnect;
    case TransferReason::kConnectTimeout: return gb::kReasonConnectTimeout;
    case TransferReason::kStalled: return gb::kReasonStalled;
    case TransferReason::kTimeLimit: return gb::kReasonTimeLimit;
    case TransferReason::kCertificate: return gb::kReasonCertificate;
    case TransferReason::kCaFile: return gb::kReasonCaFile;
    case TransferReason::kSecureChannel: return gb::kReasonSecureChannel;
    case TransferReason::kRedirectRefused: return gb::kReasonRedirectRefused;
    case TransferReason::kTooManyRedirects: return gb::kReasonTooManyRedirects;
    case TransferReason::kNothingReturned: return gb::kReasonNothingReturned;
    case TransferReason::kBroken: return gb::kReasonBroken;
    case TransferReason::kTooLarge: return gb::kReasonTooLarge;
    case TransferReason::kNoMemory: return gb::kReasonNoMemory;
    case TransferReason::kCancelled: return gb::kReasonCancelled;
    case TransferReason::kOther: break;
    }
    return gb::kReasonOther;
}

bool HttpClient::Read(const char* url, GrowBuffer& out)
{
    if (busy_.exchange(true)) {
        // Another request holds the handle (this one was made from inside
        // the wait for it): refused, and the report stays the other's.
        out.SetSize(0);
        return false;
    }
    cancel_ = false; // a cancel meant for an earlier request
    out.SetSize(0);
    received_ = 0;
    announced_ = -1;
    last_ = TransferReport{};
    last_.outcome = TransferOutcome::kFailed;
    last_.reason = TransferReason::kBadUrl;
    bool complete = false;
    if (url && *url && HasWebScheme(url) && EnsureOpen()) {
        auto* h = static_cast<CURL*>(handle_);
        std::string target(url, std::strcspn(url, "#"));
        curl_slist* headers = RequestHeaders();
        BodySink sink{h, &out, std::clamp<int64_t>(limits_.bodyLimit, 0, kLargestBody), &received_};
        HttpClientProgress progress{&cancel_, &announced_};
        int code = CURLE_OK;
        const bool performed = headers && Configure(h, target, headers, &sink, &progress, limits_) && Perform(&code);
        out.SetSize(static_cast<int32_t>(sink.filled)); // shrinking never fails
        Finish(performed, code, out, sink.full, sink.refused);
        complete = last_.outcome == TransferOutcome::kComplete;
        curl_easy_reset(h); // drops the pointers into this call's headers and sink
        curl_slist_free_all(headers);
    } else if (url && *url && HasWebScheme(url)) {
        last_.reason = TransferReason::kOther; // libcurl would not start
    }
    busy_ = false;
    return complete;
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
void HttpClient::Finish(bool performed, int code, const GrowBuffer& out, bool sinkFull, bool sinkRefused)
{
    auto* h = static_cast<CURL*>(handle_);
    TransferReport& r = last_;
    r.received = out.size();
    const char* type = nullptr;
    if (performed && curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        r.contentType = type;
    if (!performed)
        r.reason = TransferReason::kOther;
    else if (code == CURLE_OK)
        r.reason = out.size() == 0 ? TransferReason::kNothingReturned : TransferReason::kNone;
    else if (code == CURLE_WRITE_ERROR)
        r.reason = sinkRefused ? TransferReason::kNoMemory : sinkFull ? TransferReason::kTooLarge : TransferReason::kOther;
    else
        r.reason = ReasonFor(h, static_cast<CURLcode>(code), limits_);
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
