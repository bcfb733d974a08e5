// The internet library's command HttpRead.
#pragma once

#include <cstdint>

#include "abi/text_value.h"
#include "abi/value_record.h"
#include "net/grow_buffer.h"

namespace mt {

// HttpRead(URL text) -> byte array: the body of the response, whatever its
// status code; null when no byte arrived (an empty URL, a scheme other than
// http and https, a failed connection or a rejected certificate). A transfer
// that fails midway gives the bytes that arrived before the failure, and
// so does a cancelled one. A body sent compressed (gzip, deflate, br) comes
// decoded; the 256 MiB cap counts decoded bytes. A missing or non-text
// argument reads as the empty URL. In a program with windows the transfer runs beside the event
// loop, with a progress window that can cancel it (platform/transfer_window.h).
void HttpRead(ValueRecord* result, int32_t argc, ValueRecord* args);

// The internet library's second command, our own: how the last HttpRead
// went, which HttpRead's answer cannot carry.
//   1. reason, text variable by reference: why it failed or ended early, in
//      words (empty after a complete transfer);
//   2. Content-Type, text variable by reference: the header as received;
//   3. charset, text variable by reference: the iconv name of the page's
//      declared encoding ("GB18030" for the GB family), or "UTF-8" for a page
//      that declares none and whose bytes are UTF-8; empty for none;
//   4. mark length, integer variable by reference: bytes of a byte-order
//      mark at the start, not part of the text;
//   5. cut length, integer variable by reference: bytes at the end that a
//      transfer ended early left as an incomplete character
//   6. status, integer variable by reference: the final answer's HTTP status
//      code (0 when none arrived)
//   7. status text, text variable by reference: the code and the server's
//      reason phrase ("404 Not Found"), or the standard phrase when it sent
//      none; empty when no answer arrived
//   8. replaced, long integer variable by reference: bytes the last
//      HttpPageText replaced or left out (0 before it, and after a new
//      transfer)
//   9. error, text variable by reference: the stable name of what went
//      wrong ("timeout", "http_status", ...; ErrorCode), empty when nothing
//      did
//  10. header lines, text variable by reference: every response's header
//      lines as received, when the request options keep them (else empty)
//  11. effective URL, text variable by reference: the URL of the final answer
//  12. downloaded, long integer variable by reference: body bytes over the wire
//  13. total time, long integer variable by reference: microseconds
//  14. redirects, integer variable by reference: redirects followed
// → integer: 0 no transfer yet, 1 complete, 2 ended early (some bytes
// arrived), 3 cancelled, 4 failed (no byte arrived). Every argument may be
// omitted; variables of another type are left alone.
void HttpTransferReport(ValueRecord* result, int32_t argc, ValueRecord* args);

// The internet library's third command, our own: (seconds, integer) bounds
// every later transfer as a whole to that many seconds (more than 2147483,
// about 24 days and the most libcurl takes, counts as that); 0, a negative
// or an omitted argument removes the bound. No result.
void HttpTimeLimit(ValueRecord* result, int32_t argc, ValueRecord* args);

// A command of our own, after the batch's: the bounds of every later
// transfer, each a long integer, omitted (or of another type) for the
// program's default:
//   1. milliseconds for the whole read of one page, retries and their
//      waits included (0, the default: no bound);
//   2. milliseconds for each connect (default 30 s);
//   3. the low-speed rule's rate, bytes a second (default 1024; 0: no rule);
//   4. its window, seconds (default 60; 0: no rule);
//   5. the most decoded body bytes one page keeps (1 to 256 MiB, the
//      default);
//   6. the bytes all pages of the batch may hold at once (default 512 MiB;
//      no one page keeps more).
// No result.
void HttpTransferBounds(ValueRecord* result, int32_t argc, ValueRecord* args);

// The fourth command, our own: request options for every later transfer,
// which the command line sets (the window's request stays as it is).
//   1. User-Agent, text: empty or omitted for the program's own;
//   2. extra request headers, text: "Name: value" lines, separated by LF;
//   3. cookies, text: "name=value; …", empty or omitted for none;
//   4. retries, integer: how often a failed connect, a time-out or a 5xx
//      answer is tried again (0 or omitted: never), after a wait of 1 s
//      doubled for each later try, or the server's Retry-After, at most
//      60 s either; a cancel ends the wait;
//   5. insecure, integer: not 0 for no certificate and host-name check;
//   6. CA file, text: the certificates trusted instead of the default (a
//      relative path from the directory the program was started in);
//   7. proxy, text: the proxy of every transfer instead of the environment's;
//   8. redirects, integer: the most followed (omitted or -1: 10); 0 makes a
//      redirect's answer the page;
//   9. no compression, integer: not 0 for a request that asks for none;
//  10. keep headers, integer: not 0 for a report that keeps the header lines.
// No result.
void HttpRequestOptions(ValueRecord* result, int32_t argc, ValueRecord* args);

// The fifth command, our own, safe to call from any thread while HttpRead
// runs: (received, long integer variable by reference; announced, long
// integer variable by reference, -1 when no length was announced). No
// result.
void HttpProgress(ValueRecord* result, int32_t argc, ValueRecord* args);

// The sixth command, our own: a page's bytes as GB18030 text, the way
// browsers decode: 1. the bytes, byte array; 2. their encoding, text (an
// iconv name, as the report gives it); 3. replaced, long integer variable
// by reference, optional → byte array: the converted bytes, every
// character that converts kept, each bad sequence as U+FFFD, an incomplete
// last character left out; *replaced is the number of bytes replaced or
// left out. A page with more bad sequences than one per 256 bytes, or more
// bad bytes than 1 %, is in another encoding than the one named: null, and
// *replaced -1, as for an encoding iconv does not know; the caller shows
// such bytes as received. The count also goes into the report (8.). Unlike
// the encoding library's ConvertEncoding, which fails as a whole on one
// bad byte.
void HttpPageText(ValueRecord* result, int32_t argc, ValueRecord* args);

// Turns the buffer's bytes into a new byte array (null when it is empty) and
// leaves the buffer empty. A heap block becomes the array in place; pooled
// bytes are copied.
ByteArrayValue TakeByteArray(GrowBuffer& buffer);

} // namespace mt
