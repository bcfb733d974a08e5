// Reading a web page into a text, shared by the window and the command line.
#pragma once

#include "runtime_calls.h"

namespace app {

enum class UrlCheck {
    kOk,
    kEmpty,     // nothing was entered
    kBadScheme, // neither "http://" nor "https://" anywhere in it (any letter case)
};

UrlCheck CheckUrl(const char* url);

// Fetches the page and makes it a text: a page whose text declares
// charset=utf-8 or charset="utf-8" (any letter case) is converted from UTF-8
// to GB18030; one that does not convert is kept as received. False when no
// byte arrived.
bool FetchPage(const char* url, Owned* page);

} // namespace app
