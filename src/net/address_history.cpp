#include "net/address_history.h"

#include "abi/text_value.h"
#include "platform/input_dialog.h"
#include "platform/recent_addresses.h"

namespace mt {

void HttpAddressHistory(ValueRecord*, int32_t argc, ValueRecord* args)
{
    if (argc < 1 || !args || args[0].type != kTypeInt)
        return;
    if (AsInt32(args[0]) == 0) {
        platform::OfferCompletionsOnce(platform::RecentAddresses());
    } else if (AsInt32(args[0]) == 1 && argc >= 2 && args[1].type == kTypeText) {
        platform::RememberAddress(TextView(AsPointer<const char>(args[1])));
    }
}

} // namespace mt
