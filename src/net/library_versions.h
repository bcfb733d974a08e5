// The internet library's command that names the libraries pages are read
// with, for --version.
#pragma once

#include <cstdint>
#include <string>

#include "abi/value_record.h"

namespace mt {

// The lines naming libcurl's version, its TLS library, the compressions it
// decodes and its IDN support, each ended by a line break; one line saying
// it is missing when libcurl cannot be loaded.
std::string LibraryVersionLines();

// HttpLibraryVersions() -> text: LibraryVersionLines (ASCII).
void HttpLibraryVersions(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
