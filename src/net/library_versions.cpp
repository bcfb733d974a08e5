#include "net/library_versions.h"

#include <curl/curl.h>

#include "abi/text_value.h"

namespace mt {

std::string LibraryVersionLines()
{
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    if (!info)
        return "libcurl: not found (pages cannot be read)\n";
    std::string lines = std::string("libcurl ") + (info->version ? info->version : "?") + "\n";
    lines += std::string("TLS: ") + (info->ssl_version && *info->ssl_version ? info->ssl_version : "none") + "\n";
    std::string compression;
    std::string libraries;
    const auto add = [&](bool present, const char* names, const char* library, const char* version) {
        if (!present)
            return;
        compression += (compression.empty() ? "" : ", ") + std::string(names);
        if (version && *version)
            libraries += (libraries.empty() ? "" : ", ") + std::string(library) + " " + version;
    };
    const bool fourth = info->age >= CURLVERSION_FOURTH, sixth = info->age >= CURLVERSION_SIXTH;
    add(info->features & CURL_VERSION_LIBZ, "gzip, deflate", "zlib", info->libz_version);
    add(fourth && (info->features & CURL_VERSION_BROTLI), "br", "brotli", fourth ? info->brotli_version : nullptr);
    add(sixth && (info->features & CURL_VERSION_ZSTD), "zstd", "zstd", sixth ? info->zstd_version : nullptr);
    lines += "compression: " + (compression.empty() ? std::string("none") : compression) +
             (libraries.empty() ? "" : " (" + libraries + ")") + "\n";
    const bool idn = (info->features & CURL_VERSION_IDN) != 0;
    lines += std::string("IDN: ") +
             (idn ? (info->libidn && *info->libidn ? std::string("libidn2 ") + info->libidn : "yes") : "none") + "\n";
    return lines;
}

void HttpLibraryVersions(ValueRecord* result, int32_t, ValueRecord*)
{
    *result = MakePointer(NewText(LibraryVersionLines()), kTypeText);
}

} // namespace mt
