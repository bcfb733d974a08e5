#include "write_out.h"

#include <cstdio>
#include <iterator>

#include "shared/cli_messages.h"

namespace app {
namespace {

constexpr const char* kNames[] = {"http_code", "response_code", "url_effective", "size_download", "time_total",
                                  "content_type", "num_redirects", "exitcode", "errorcode"};

bool Known(std::string_view name)
{
    for (const char* known : kNames) {
        if (name == known)
            return true;
    }
    return false;
}

std::string Value(std::string_view name, const WriteOutValues& v)
{
    char text[32];
    if (name == "http_code" || name == "response_code") {
        std::snprintf(text, sizeof text, "%03d", v.httpCode);
        return text;
    }
    if (name == "url_effective")
        return v.urlEffective;
    if (name == "size_download")
        return std::to_string(v.sizeDownload);
    if (name == "time_total") {
        std::snprintf(text, sizeof text, "%lld.%06lld", static_cast<long long>(v.totalMicroseconds / 1000000),
                      static_cast<long long>(v.totalMicroseconds % 1000000));
        return text;
    }
    if (name == "content_type")
        return v.contentType;
    if (name == "num_redirects")
        return std::to_string(v.redirects);
    if (name == "exitcode")
        return std::to_string(v.exitCode);
    return v.errorCode;
}

// Walks the format: `text` gets the plain pieces, `variable` the names.
template <typename Text, typename Variable>
bool Walk(std::string_view format, Text text, Variable variable, std::string* error)
{
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '%' && i + 1 < format.size() && format[i + 1] == '%') {
            text('%');
            ++i;
        } else if (c == '%' && i + 1 < format.size() && format[i + 1] == '{') {
            const size_t close = format.find('}', i + 2);
            if (close == std::string_view::npos) {
                if (error)
                    *error = "a variable without its closing brace";
                return false;
            }
            const std::string_view name = format.substr(i + 2, close - i - 2);
            if (!Known(name)) {
                if (error)
                    *error = "unknown variable %{" + EchoArgument(name) + "}";
                return false;
            }
            variable(name);
            i = close;
        } else if (c == '\\' && i + 1 < format.size() && std::string_view("ntr\\").find(format[i + 1]) != std::string_view::npos) {
            const char next = format[++i];
            text(next == 'n' ? '\n' : next == 't' ? '\t'
                                  : next == 'r'   ? '\r'
                                                  : '\\');
        } else {
            text(c);
        }
    }
    return true;
}

} // namespace

bool CheckWriteOut(std::string_view format, std::string* error)
{
    return Walk(
        format, [](char) {}, [](std::string_view) {}, error);
}

std::string ExpandWriteOut(std::string_view format, const WriteOutValues& values)
{
    std::string out;
    Walk(
        format, [&out](char c) { out += c; }, [&](std::string_view name) { out += Value(name, values); }, nullptr);
    return out;
}

} // namespace app
