// fetch -w FORMAT: what is written behind each page, with %{name}
// variables standing for what its transfer reports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// What the variables of one page stand for.
struct WriteOutValues {
    int32_t httpCode = 0;          // %{http_code}, %{response_code}: three digits, 000 for none
    std::string urlEffective;      // %{url_effective}
    int64_t sizeDownload = 0;      // %{size_download}: body bytes over the wire
    int64_t totalMicroseconds = 0; // %{time_total}: seconds with six decimals
    std::string contentType;       // %{content_type}
    int32_t redirects = 0;         // %{num_redirects}
    int32_t exitCode = 0;          // %{exitcode}: the exit status this page alone would give
    std::string errorCode;         // %{errorcode}: the stable name of what went wrong, empty for nothing
};

// False, with *error naming it, for a format with an unknown variable or
// one left open.
bool CheckWriteOut(std::string_view format, std::string* error);

// The format with its variables replaced; %% is %, and \n, \t, \r and a
// doubled backslash are a line break, a tab, a carriage return and a backslash.
std::string ExpandWriteOut(std::string_view format, const WriteOutValues& values);

} // namespace app
