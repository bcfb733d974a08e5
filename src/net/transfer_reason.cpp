#include "net/transfer_reason.h"

#include <curl/curl.h>

#include <cstring>

#include "net/http_client.h"
#include "net/net_texts.h"

namespace mt {
namespace {

// libcurl from 8.6 on gives this for response headers beyond its bound;
// earlier versions give CURLE_RECV_ERROR with a text that names the
// headers, or CURLE_OUT_OF_MEMORY, often with no text at all. Out of memory
// before the body began is taken for the headers' bound: libcurl's own
// allocations for a response head are small, a refused one is far less
// likely than a server's overlong header.
constexpr int kCurlTooLarge = 100;

bool NamesHeaderSize(const char* message)
{
    return message && std::strstr(message, "header") &&
           (std::strstr(message, "max is") || std::strstr(message, "Too large") || std::strstr(message, "too large"));
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
    case TransferReason::kLowSpeed: return gb::kReasonLowSpeed;
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
    case TransferReason::kNotHttp: return gb::kReasonNotHttp;
    case TransferReason::kHeaderTooLarge: return gb::kReasonHeaderTooLarge;
    case TransferReason::kBadEncoding: return gb::kReasonBadEncoding;
    case TransferReason::kProxy: return gb::kReasonProxy;
    case TransferReason::kOther: break;
    }
    return gb::kReasonOther;
}

namespace {

// The stable names of the reasons: when nothing arrived, and when the page
// ended early.
struct ErrorCodeRow {
    TransferReason reason;
    const char* failed;
    const char* early;
};

constexpr ErrorCodeRow kErrorCodes[] = {
    {TransferReason::kBadUrl, "bad_url", "bad_url"},
    {TransferReason::kResolve, "resolve", "resolve"},
    {TransferReason::kConnect, "connect", "connect"},
    {TransferReason::kConnectTimeout, "timeout", "timeout"},
    {TransferReason::kStalled, "timeout", "timeout"},
    {TransferReason::kLowSpeed, "low_speed", "low_speed"},
    {TransferReason::kTimeLimit, "timeout", "timeout"},
    {TransferReason::kCertificate, "tls", "tls"},
    {TransferReason::kCaFile, "tls", "tls"},
    {TransferReason::kSecureChannel, "tls", "tls"},
    {TransferReason::kRedirectRefused, "redirect", "redirect"},
    {TransferReason::kTooManyRedirects, "redirect", "redirect"},
    {TransferReason::kNothingReturned, "read", "ended_early"},
    {TransferReason::kBroken, "read", "ended_early"},
    {TransferReason::kTooLarge, "too_large", "too_large"},
    {TransferReason::kNoMemory, "too_large", "too_large"},
    {TransferReason::kCancelled, "read", "ended_early"},
    {TransferReason::kNotHttp, "read", "ended_early"},
    {TransferReason::kHeaderTooLarge, "too_large", "too_large"},
    {TransferReason::kBadEncoding, "decode", "decode"},
    {TransferReason::kProxy, "connect", "connect"},
    {TransferReason::kOther, "read", "ended_early"},
};

} // namespace

const char* ErrorCode(TransferReason reason, bool complete, bool endedEarly, long status)
{
    if (complete)
        return status >= 400 ? "http_status" : "";
    for (const ErrorCodeRow& row : kErrorCodes) {
        if (row.reason == reason)
            return endedEarly ? row.early : row.failed;
    }
    return endedEarly ? "ended_early" : "read";
}

TransferReason ReasonForFailure(const CurlFailure& f)
{
    if (f.code == kCurlTooLarge || (f.code == CURLE_OUT_OF_MEMORY && !f.bodyStarted) ||
        ((f.code == CURLE_OUT_OF_MEMORY || f.code == CURLE_RECV_ERROR) && NamesHeaderSize(f.message)))
        return TransferReason::kHeaderTooLarge;
    switch (f.code) {
    case CURLE_URL_MALFORMAT: return TransferReason::kBadUrl;
    case CURLE_UNSUPPORTED_PROTOCOL:
        // The first URL's scheme was checked before: either a redirect to
        // another scheme, or an answer without a status line (HTTP/0.9).
        return f.responseCode >= 300 && f.responseCode < 400 ? TransferReason::kRedirectRefused
                                                             : TransferReason::kNotHttp;
    case CURLE_WEIRD_SERVER_REPLY: return TransferReason::kNotHttp;
    case CURLE_TOO_MANY_REDIRECTS: return TransferReason::kTooManyRedirects;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_PROXY: return TransferReason::kProxy;
    case CURLE_COULDNT_RESOLVE_HOST: return TransferReason::kResolve;
    case CURLE_COULDNT_CONNECT: return TransferReason::kConnect;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_ISSUER_ERROR: return TransferReason::kCertificate;
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CRL_BADFILE: return TransferReason::kCaFile;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_USE_SSL_FAILED: return TransferReason::kSecureChannel;
    case CURLE_GOT_NOTHING: return TransferReason::kNothingReturned;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE: return TransferReason::kBroken;
    case CURLE_BAD_CONTENT_ENCODING: return TransferReason::kBadEncoding;
    case CURLE_ABORTED_BY_CALLBACK: return TransferReason::kCancelled;
    case CURLE_OUT_OF_MEMORY: return TransferReason::kNoMemory;
    case CURLE_OPERATION_TIMEDOUT:
        if (f.timeLimitHit)
            return TransferReason::kTimeLimit;
        if (!f.connected)
            return TransferReason::kConnectTimeout;
        return f.bytesLately ? TransferReason::kLowSpeed : TransferReason::kStalled;
    default: return TransferReason::kOther;
    }
}

const char* TransferErrorCode(const TransferReport& r)
{
    return ErrorCode(r.reason, r.outcome == TransferOutcome::kComplete, r.outcome == TransferOutcome::kEndedEarly,
                     r.status);
}

const char* StandardStatusPhrase(long code)
{
    struct Phrase {
        long code;
        const char* text;
    };
    static constexpr Phrase kPhrases[] = {
        {100, "Continue"},
        {101, "Switching Protocols"},
        {200, "OK"},
        {201, "Created"},
        {202, "Accepted"},
        {203, "Non-Authoritative Information"},
        {204, "No Content"},
        {205, "Reset Content"},
        {206, "Partial Content"},
        {300, "Multiple Choices"},
        {301, "Moved Permanently"},
        {302, "Found"},
        {303, "See Other"},
        {304, "Not Modified"},
        {305, "Use Proxy"},
        {307, "Temporary Redirect"},
        {308, "Permanent Redirect"},
        {400, "Bad Request"},
        {401, "Unauthorized"},
        {402, "Payment Required"},
        {403, "Forbidden"},
        {404, "Not Found"},
        {405, "Method Not Allowed"},
        {406, "Not Acceptable"},
        {407, "Proxy Authentication Required"},
        {408, "Request Timeout"},
        {409, "Conflict"},
        {410, "Gone"},
        {411, "Length Required"},
        {412, "Precondition Failed"},
        {413, "Content Too Large"},
        {414, "URI Too Long"},
        {415, "Unsupported Media Type"},
        {416, "Range Not Satisfiable"},
        {417, "Expectation Failed"},
        {421, "Misdirected Request"},
        {422, "Unprocessable Content"},
        {425, "Too Early"},
        {426, "Upgrade Required"},
        {428, "Precondition Required"},
        {429, "Too Many Requests"},
        {431, "Request Header Fields Too Large"},
        {451, "Unavailable For Legal Reasons"},
        {500, "Internal Server Error"},
        {501, "Not Implemented"},
        {502, "Bad Gateway"},
        {503, "Service Unavailable"},
        {504, "Gateway Timeout"},
        {505, "HTTP Version Not Supported"},
        {511, "Network Authentication Required"},
    };
    for (const Phrase& p : kPhrases) {
        if (p.code == code)
            return p.text;
    }
    return "";
}

} // namespace mt
