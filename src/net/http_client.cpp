#include "net/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

namespace mt {
namespace {

constexpr const char* kAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr const char* kWebSchemes = "http,https";
// A GrowBuffer counts in 32 bits; a body is kept to well below that.
constexpr int64_t kLargestBody = int64_t{1} << 30;

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
    int64_t filled = 0;
    bool first = true;
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
    int64_t take = std::min(static_cast<int64_t>(size * count), sink->limit - sink->filled);
    if (take <= 0 || !MakeRoom(*sink, sink->filled + take))
        return 0;
    sink->first = false;
    std::memcpy(sink->out->data() + sink->filled, bytes, static_cast<size_t>(take));
    sink->filled += take;
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
// else SSL_CERT_FILE. Null when neither is set, leaving libcurl's default.
const char* CaFileFromEnvironment()
{
    for (const char* name : {"CURL_CA_BUNDLE", "SSL_CERT_FILE"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return value;
    }
    return nullptr;
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
bool Configure(CURL* h, const std::string& url, curl_slist* headers, BodySink* sink, const HttpLimits& limits)
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
    if (const char* ca = CaFileFromEnvironment())
        ok &= curl_easy_setopt(h, CURLOPT_CAINFO, ca) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteBody) == CURLE_OK;
    ok &= curl_easy_setopt(h, CURLOPT_WRITEDATA, sink) == CURLE_OK;
    return ok;
}

} // namespace

bool HttpClient::Read(const char* url, GrowBuffer& out)
{
    out.SetSize(0);
    if (!url || !*url || !HasWebScheme(url) || !EnsureOpen())
        return false;
    auto* h = static_cast<CURL*>(handle_);
    std::string target(url, std::strcspn(url, "#"));
    curl_slist* headers = RequestHeaders();
    BodySink sink{h, &out, std::clamp<int64_t>(limits_.bodyLimit, 0, kLargestBody)};
    bool complete = headers && Configure(h, target, headers, &sink, limits_) && curl_easy_perform(h) == CURLE_OK;
    curl_easy_reset(h); // drops the pointers into this call's headers and sink
    curl_slist_free_all(headers);
    out.SetSize(static_cast<int32_t>(sink.filled)); // shrinking never fails
    return complete;
}

void HttpClient::Release()
{
    if (!handle_)
        return;
    curl_easy_cleanup(static_cast<CURL*>(handle_));
    curl_global_cleanup();
    handle_ = nullptr;
}

// Opens the shared handle unless it is open. A failed open leaves nothing
// behind, so that a later request tries again.
bool HttpClient::EnsureOpen()
{
    if (handle_)
        return true;
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        return false;
    handle_ = curl_easy_init();
    if (!handle_) {
        curl_global_cleanup();
        return false;
    }
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
