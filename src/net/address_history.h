// HttpAddressHistory (the internet library's seventh command, our own): the
// addresses of the pages read lately (platform/recent_addresses.h), for the
// tool's read-page dialog.
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

// Arguments: what to do, and an address. 0: the next input dialog alone
// offers the recent addresses as completions (the address is not used);
// 1: the address was read successfully and goes first in the history, if
// the last transfer did bring a whole page with a 2xx status.
// Nothing happens while the history is off. No result.
void HttpAddressHistory(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
