// Why a transfer failed or ended early: libcurl's result codes turned into
// the reasons the runtime shows, and the standard reason phrases of HTTP
// status codes. Plain code, apart from the texts.
#pragma once

#include <cstdint>

namespace mt {

enum class TransferReason : int32_t {
    kNone,
    kBadUrl,
    kResolve,
    kConnect,
    kConnectTimeout,
    kStalled,  // no byte arrived for the low-speed rule's whole window
    kLowSpeed, // bytes arrived, but slower than the low-speed rule allows
    kTimeLimit,
    kCertificate,
    kCaFile,
    kSecureChannel,
    kRedirectRefused,
    kTooManyRedirects,
    kNothingReturned,
    kBroken,
    kTooLarge,
    kNoMemory,
    kCancelled,
    kNotHttp,        // the answer did not start with an HTTP status line
    kHeaderTooLarge, // a header line, or all of them, beyond what libcurl takes
    kBadEncoding,    // the body is not what its Content-Encoding says
    kProxy,          // the proxy could not be resolved or refused the request
    kOther,
};

// The reason as the runtime shows it (GB18030); empty for kNone.
const char* ReasonText(TransferReason reason);

// What is known of a transfer that libcurl ended with a result other than
// CURLE_OK and CURLE_WRITE_ERROR (the body sink's own refusals).
struct CurlFailure {
    int code = 0;              // the CURLcode
    long responseCode = 0;     // the last status code received; 0 when none
    bool connected = false;    // a connection to the server (or proxy) was made
    bool timeLimitHit = false; // the whole-transfer time limit had run out
    bool bodyStarted = false;  // a byte of the body had arrived
    bool bytesLately = false;  // a byte of the answer arrived within the low-speed rule's window
    const char* message = "";  // libcurl's error text
};

// The stable name scripts see for how a transfer ended: empty for a whole
// page with a status below 400, "http_status" for a whole page with an
// error status, else the name of its reason (one for a transfer that gave
// nothing, one for a page that ended early). The names form a closed list
// that the manual page gives in full.
const char* ErrorCode(TransferReason reason, bool complete, bool endedEarly, long status);

// The nearest true reason for the failure.
TransferReason ReasonForFailure(const CurlFailure& failure);

// The standard reason phrase of an HTTP status code ("Not Found" for 404);
// empty for codes without one.
const char* StandardStatusPhrase(long code);

} // namespace mt
