#include "net/http_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <strings.h>

#include "net/page_charset.h"
#include "net/request_url.h"
#include "platform/iconv_handle.h"
#include "platform/start_directory.h"

namespace mt::transfer {
namespace {

constexpr const char* kAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr const char* kWebSchemes = "http,https";
// libcurl's receive buffer: large pieces mean few calls per megabyte.
constexpr long kReceiveBuffer = 256L << 10;
constexpr size_t kLongestPhrase = 200;
// The header lines kept for a dump: far more than libcurl takes of one
// response's head, times a few redirects.
constexpr size_t kKeptHeaderBytes = size_t{1} << 20;
// A GrowBuffer counts in 32 bits; a body is kept to well below that.
constexpr int64_t kLargestBody = int64_t{1} << 30;
static_assert(sizeof(Attempt::errorText) == CURL_ERROR_SIZE);

// The size to give the buffer when `need` bytes no longer fit: for the
// first piece the announced length, or the limit when the decoded length is
// unknown; else at least four times the current size; never beyond the
// limit (need itself is within it). Growing by copying would hold the old
// block and the new one at once: reserving at the start keeps a body of
// unknown length to its own size.
int64_t SizeAhead(const BodySink& sink, int64_t need)
{
    int64_t ahead = 4 * static_cast<int64_t>(sink.out->size());
    if (sink.first) {
        curl_off_t announced = -1;
        if (!(sink.encoded && *sink.encoded))
            curl_easy_getinfo(static_cast<CURL*>(sink.handle), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
        ahead = announced >= 0 ? announced : sink.limit;
    }
    return std::min(std::max(need, static_cast<int64_t>(ahead)), sink.limit);
}

// Makes the buffer hold at least `need` bytes. When running ahead is refused
// the exact size is tried, so that memory runs out as late as possible.
bool MakeRoom(BodySink& sink, int64_t need)
{
    if (need <= sink.out->size())
        return true;
    return sink.out->setSize(static_cast<int32_t>(SizeAhead(sink, need))) ||
           sink.out->setSize(static_cast<int32_t>(need));
}

// libcurl's write callback, handed decoded bytes. Keeps what fits under the
// limit; a short count makes libcurl end the transfer with what has been
// kept so far, which is what happens at the limit (a compression bomb stops
// there too) and when the buffer cannot grow.
size_t WriteBody(char* bytes, size_t size, size_t count, void* userdata)
{
    auto* sink = static_cast<BodySink*>(userdata);
    const auto offered = static_cast<int64_t>(size * count);
    int64_t take = std::min(offered, sink->limit - sink->filled);
    if (take > 0 && sink->shared && !*sink->mayPass && sink->shared->held + take > sink->shared->bound) {
        sink->paused = true; // libcurl offers the same bytes again once the batch resumes it
        return CURL_WRITEFUNC_PAUSE;
    }
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
    if (sink->shared)
        sink->shared->held += take;
    sink->progress->store(sink->filled, std::memory_order_relaxed);
    return static_cast<size_t>(take);
}

bool StartsWithNoCase(std::string_view line, std::string_view prefix)
{
    return line.size() >= prefix.size() && strncasecmp(line.data(), prefix.data(), prefix.size()) == 0;
}

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

// libcurl's header callback, once per header line of every response.
size_t ReadHeaderLine(char* bytes, size_t size, size_t count, void* userdata)
{
    auto* head = static_cast<ResponseHead*>(userdata);
    const std::string_view line(bytes, size * count);
    head->lastByteAt = std::chrono::steady_clock::now();
    if (head->kept && head->kept->size() + line.size() <= kKeptHeaderBytes)
        head->kept->append(line);
    if (StartsWithNoCase(line, "HTTP/")) {
        // "HTTP/1.1 404 Not Found": a new response begins.
        head->encoded = false;
        head->reasonPhrase.clear();
        size_t at = line.find(' ');
        if (at != std::string_view::npos) {
            at = line.find(' ', at + 1); // behind the code
            const std::string_view phrase = at == std::string_view::npos ? "" : Trimmed(line.substr(at + 1));
            for (char c : phrase.substr(0, kLongestPhrase))
                head->reasonPhrase.push_back(c >= 0x20 && c < 0x7F ? c : '?');
        }
    } else if (StartsWithNoCase(line, "content-encoding:")) {
        const std::string_view value = Trimmed(line.substr(17));
        head->encoded = head->encoded || (!value.empty() && strncasecmp(value.data(), "identity", value.size()) != 0);
    }
    return size * count;
}

// libcurl's progress callback: the announced length for watchers (none when
// the body is encoded: then it counts the encoded bytes), and the cancel
// request.
int Progress(void* userdata, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t)
{
    auto* head = static_cast<ResponseHead*>(userdata);
    if (now != head->bytesSeen) {
        head->bytesSeen = now;
        head->lastByteAt = std::chrono::steady_clock::now();
    }
    head->announced->store(total > 0 && !head->encoded ? total : -1, std::memory_order_relaxed);
    return head->cancel->load() ? 1 : 0;
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

// The encodings to ask for: those of the libcurl build among gzip, deflate
// and br. Empty when it decodes none.
const std::string& AcceptedEncodings()
{
    static const std::string encodings = [] {
        const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
        std::string list;
        if (info && (info->features & CURL_VERSION_LIBZ))
            list = "gzip, deflate";
        if (info && (info->features & CURL_VERSION_BROTLI))
            list += list.empty() ? "br" : ", br";
        return list;
    }();
    return encodings;
}

// The name of a header line ("Accept" of "Accept: */*").
std::string_view HeaderName(std::string_view line) { return Trimmed(line.substr(0, line.find_first_of(":;"))); }

long Bounded(long seconds) { return std::clamp(seconds, 0L, HttpLimits::kLongestSeconds); }
long BoundedMilliseconds(int64_t ms) { return static_cast<long>(std::clamp<int64_t>(ms, 0, HttpLimits::kLongestSeconds * 1000)); }

} // namespace

bool HasWebScheme(const char* url)
{
    const char* colon = std::strchr(url, ':');
    if (!colon)
        return false;
    auto length = static_cast<size_t>(colon - url);
    return (length == 4 && strncasecmp(url, "http", 4) == 0) || (length == 5 && strncasecmp(url, "https", 5) == 0);
}

bool RequestTarget(const char* text, std::string* url)
{
    if (!text || !*text)
        return false;
    const std::string_view typed(text);
    std::string utf8;
    if (std::any_of(typed.begin(), typed.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        // The runtime's texts are GB18030; a URL goes out from UTF-8.
        platform::IconvHandle toUtf8("UTF-8", "GB18030");
        utf8.resize(typed.size() * 2 + 4); // no GB18030 character grows beyond twice its bytes
        const char* in = typed.data();
        size_t inLeft = typed.size();
        char* out = utf8.data();
        size_t outLeft = utf8.size();
        if (toUtf8.convert(&in, &inLeft, &out, &outLeft) != 0)
            return false;
        utf8.resize(utf8.size() - outLeft);
    } else {
        utf8 = typed;
    }
    RequestUrl made = MakeRequestUrl(utf8);
    if (!made.ok || !HasWebScheme(made.url.c_str()))
        return false;
    *url = std::move(made.url);
    return true;
}

void* RequestHeaders(const RequestOptions& options)
{
    curl_slist* list = nullptr;
    auto add = [&list](const std::string& line) {
        curl_slist* longer = curl_slist_append(list, line.c_str());
        if (!longer) {
            curl_slist_free_all(list);
            list = nullptr;
        } else {
            list = longer;
        }
        return longer != nullptr;
    };
    for (const char* line : {"Accept: */*", "Pragma: no-cache", "Cache-Control: no-cache"}) {
        const bool replaced = std::any_of(options.headers.begin(), options.headers.end(), [line](const std::string& h) {
            const std::string_view name = HeaderName(h), ours = HeaderName(line);
            return name.size() == ours.size() && strncasecmp(name.data(), ours.data(), ours.size()) == 0;
        });
        if (!replaced && !add(line))
            return nullptr;
    }
    for (const std::string& header : options.headers) {
        // A line break inside would start another header line: never sent.
        if (!HeaderName(header).empty() && header.find_first_of("\r\n") == std::string::npos && !add(header))
            return nullptr;
    }
    return list;
}

bool Configure(void* handle, const std::string& url, void* headers, BodySink* sink, ResponseHead* head,
               const HttpLimits& limits, const RequestOptions& options, int64_t timeLimitMilliseconds,
               char* errorText)
{
    auto* h = static_cast<CURL*>(handle);
    bool ok = curl_easy_setopt(h, CURLOPT_URL, url.c_str()) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, kWebSchemes) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, kWebSchemes) == CURLE_OK;
    // No redirect allowed: the redirect's own answer is the page.
    const long redirects = options.maxRedirects >= 0 ? options.maxRedirects : limits.maxRedirects;
    ok &= curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, redirects == 0 ? 0L : 1L) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_MAXREDIRS, redirects) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0)) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_USERAGENT, options.userAgent.empty() ? kAgent : options.userAgent.c_str()) ==
          CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_HTTPHEADER, static_cast<curl_slist*>(headers)) == CURLE_OK;
    if (!options.cookies.empty())
        ok &= curl_easy_setopt(h, CURLOPT_COOKIE, options.cookies.c_str()) == CURLE_OK;
    if (!AcceptedEncodings().empty() && !options.noCompression)
        ok &= curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, AcceptedEncodings().c_str()) == CURLE_OK;
    // Without a proxy of the options libcurl reads http_proxy (lower case
    // only), https_proxy and all_proxy from the environment by itself;
    // no_proxy applies either way.
    if (!options.proxy.empty())
        ok &= curl_easy_setopt(h, CURLOPT_PROXY, options.proxy.c_str()) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, options.insecure ? 0L : 1L) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, options.insecure ? 0L : 2L) == CURLE_OK;
    const std::string ca = options.caFile.empty() ? CaFileFromEnvironment()
                                                  : platform::FromStartDirectory(options.caFile.c_str());
    if (!ca.empty())
        ok &= curl_easy_setopt(h, CURLOPT_CAINFO, ca.c_str()) == CURLE_OK; // libcurl copies it
    ok &= curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, BoundedMilliseconds(limits.connectMilliseconds)) == CURLE_OK;
    // The low-speed rule: below speedLimit bytes a second for speedSeconds
    // ends the transfer (a silent server and a slow one get their own
    // reasons, see EndAttempt). 0 for either turns it off.
    const bool lowSpeedRule = limits.speedLimit > 0 && limits.speedSeconds > 0;
    ok &= curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, lowSpeedRule ? limits.speedLimit : 0L) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, lowSpeedRule ? Bounded(limits.speedSeconds) : 0L) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteBody) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_WRITEDATA, sink) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, ReadHeaderLine) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_HEADERDATA, head) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, BoundedMilliseconds(timeLimitMilliseconds)) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, Progress) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_XFERINFODATA, head) == CURLE_OK;
    // Only a matter of speed, so a refusal does not stop the request (after
    // some failed transfers libcurl keeps the buffer it has).
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, kReceiveBuffer);
    return ok;
}

bool BeginAttempt(void* handle, const std::string& url, GrowBuffer* out, std::atomic<int64_t>* progress,
                  const HttpLimits& limits, const RequestOptions& options, Attempt* attempt)
{
    out->setSize(0);
    progress->store(0, std::memory_order_relaxed);
    attempt->head.announced->store(-1, std::memory_order_relaxed);
    SharedBytes* shared = attempt->sink.shared;
    const bool* mayPass = attempt->sink.mayPass;
    attempt->sink = BodySink{handle, out, std::clamp<int64_t>(limits.pageLimit(), 0, kLargestBody), progress};
    attempt->sink.encoded = &attempt->head.encoded;
    attempt->sink.shared = shared;
    attempt->sink.mayPass = mayPass;
    attempt->head.lastByteAt = std::chrono::steady_clock::now();
    attempt->head.bytesSeen = 0;
    attempt->headerLines.clear();
    attempt->head.kept = options.keepHeaders ? &attempt->headerLines : nullptr;
    attempt->headers = RequestHeaders(options);
    return attempt->headers && Configure(handle, url, attempt->headers, &attempt->sink, &attempt->head, limits,
                                         options, attempt->timeLimitMilliseconds, attempt->errorText);
}

void EndAttempt(void* handle, bool performed, int code, GrowBuffer& out, Attempt& attempt, const HttpLimits& limits,
                TransferReport* report)
{
    auto* h = static_cast<CURL*>(handle);
    out.setSize(static_cast<int32_t>(attempt.sink.filled)); // shrinking never fails
    curl_off_t retryAfter = 0;
    if (performed && curl_easy_getinfo(h, CURLINFO_RETRY_AFTER, &retryAfter) == CURLE_OK && retryAfter > 0)
        attempt.retryAfterSeconds = static_cast<long>(std::min<curl_off_t>(retryAfter, 1L << 30));
    TransferReport& r = *report;
    r = TransferReport{};
    r.received = out.size();
    const char* type = nullptr;
    if (performed && curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        r.contentType = type;
    const char* effective = nullptr;
    if (performed && curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        r.effectiveUrl = effective;
    curl_off_t downloaded = 0, micros = 0;
    long redirects = 0;
    if (performed && curl_easy_getinfo(h, CURLINFO_SIZE_DOWNLOAD_T, &downloaded) == CURLE_OK)
        r.downloaded = downloaded;
    if (performed && curl_easy_getinfo(h, CURLINFO_TOTAL_TIME_T, &micros) == CURLE_OK)
        r.totalMicroseconds = micros;
    if (performed && curl_easy_getinfo(h, CURLINFO_REDIRECT_COUNT, &redirects) == CURLE_OK)
        r.redirects = static_cast<int32_t>(redirects);
    r.headers = std::move(attempt.headerLines);
    attempt.head.kept = nullptr;
    long status = 0;
    if (performed && curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status > 0 && status < 1000) {
        r.status = static_cast<int32_t>(status);
        r.statusText = StatusText(status, attempt.head.reasonPhrase);
    }
    if (!performed) {
        r.reason = TransferReason::kOther;
    } else if (code == CURLE_OK) {
        r.reason = out.size() == 0 ? TransferReason::kNothingReturned : TransferReason::kNone;
    } else if (code == CURLE_WRITE_ERROR && (attempt.sink.refused || attempt.sink.full)) {
        r.reason = attempt.sink.refused ? TransferReason::kNoMemory : TransferReason::kTooLarge;
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
        const int64_t limit = std::min<int64_t>(attempt.timeLimitMilliseconds, HttpLimits::kLongestSeconds * 1000);
        failure.timeLimitHit = limit > 0 && total >= static_cast<curl_off_t>(limit) * 1000 - 50000;
        // Silent for (nearly) the whole window of the low-speed rule: no
        // data; anything in it: a slow server.
        const auto quiet = std::chrono::steady_clock::now() - attempt.head.lastByteAt;
        failure.bytesLately = quiet < std::chrono::milliseconds(limits.speedSeconds * 900);
        r.reason = ReasonForFailure(failure);
    }
    if (r.reason == TransferReason::kCancelled)
        r.outcome = TransferOutcome::kCancelled;
    else if (performed && code == CURLE_OK)
        r.outcome = TransferOutcome::kComplete;
    else
        r.outcome = out.size() > 0 ? TransferOutcome::kEndedEarly : TransferOutcome::kFailed;
    curl_easy_reset(h); // drops the pointers into this try's headers, sink and head
    curl_slist_free_all(static_cast<curl_slist*>(attempt.headers));
    attempt.headers = nullptr;
    if (out.size() == 0)
        return;
    const std::string_view body(reinterpret_cast<const char*>(out.data()), static_cast<size_t>(out.size()));
    const PageCharset charset = DetectPageCharset(r.contentType, body);
    r.charset = charset.iconvName;
    r.bomLength = static_cast<int32_t>(charset.bomLength);
    if (r.outcome == TransferOutcome::kEndedEarly)
        r.cutLength = static_cast<int32_t>(CutCharacterLength(r.charset, body.substr(charset.bomLength)));
}

bool WorthRetrying(const TransferReport& report)
{
    switch (report.reason) {
    case TransferReason::kConnect:
    case TransferReason::kConnectTimeout:
    case TransferReason::kStalled:
    case TransferReason::kLowSpeed:
    case TransferReason::kTimeLimit: return true;
    case TransferReason::kCancelled: return false;
    default: return report.status >= 500 && report.status <= 599;
    }
}

long RetryWaitMilliseconds(int retry, long retryAfterSeconds, const HttpLimits& limits)
{
    const long longest = std::max(0L, limits.longestRetryWaitSeconds) * 1000L;
    long wait = std::max(0L, limits.firstRetryMilliseconds) << std::min(retry, 20);
    if (retryAfterSeconds > 0)
        wait = std::min(retryAfterSeconds, longest / 1000 + 1) * 1000L;
    return std::min(wait, longest);
}

int64_t MillisecondsLeft(bool bounded, std::chrono::steady_clock::time_point deadline)
{
    if (!bounded)
        return 0;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return std::max<int64_t>(1, left.count());
}

std::string StatusText(long code, const std::string& reasonPhrase)
{
    if (code <= 0)
        return {};
    const std::string phrase = reasonPhrase.empty() ? StandardStatusPhrase(code) : reasonPhrase;
    return std::to_string(code) + (phrase.empty() ? "" : " " + phrase);
}

} // namespace mt::transfer
