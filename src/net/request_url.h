// A URL made ready for the request line the way browsers send it. Plain
// code (libidn2 for the host), shared by the page reader, the batch and the
// fuzz target.
//
// Only what cannot go raw is changed:
//   - blanks (space, tab) at either end and line breaks at the end are
//     dropped;
//   - in the user name, password, path and query every byte of a non-ASCII
//     character and every inner space becomes %XX, the bytes of the UTF-8
//     form (upper-case hex, as browsers write it); everything else, an
//     existing %XX included, stays as given;
//   - a host holding non-ASCII characters becomes its ASCII (punycode)
//     form, converted with libidn2 the way browsers look names up; an ASCII
//     host stays as given;
//   - the fragment (from the first '#') is never sent.
// A control character left inside, bytes that are not UTF-8, or a host that
// has no ASCII form make the URL unusable.
#pragma once

#include <string>
#include <string_view>

namespace mt {

struct RequestUrl {
    bool ok = false;
    std::string url; // ASCII only when ok
};

// `utf8`: the URL as typed, in UTF-8. A URL without "scheme:" is encoded
// as a path would be, for the caller's scheme check to refuse.
RequestUrl MakeRequestUrl(std::string_view utf8);

} // namespace mt
