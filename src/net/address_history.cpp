#include "net/address_history.h"

#include "abi/text_value.h"
#include "net/http_client.h"
#include "platform/input_dialog.h"
#include "platform/recent_addresses.h"

namespace mt {
namespace {

// Whether the last transfer brought a whole page the server answered with
// success (2xx): an error page, a cut one or none is not kept.
bool LastReadSucceeded()
{
    const TransferReport& r = TheHttpClient().last();
    return r.outcome == TransferOutcome::kComplete && r.status >= 200 && r.status <= 299;
}

} // namespace

void HttpAddressHistory(ValueRecord*, int32_t argc, ValueRecord* args)
{
    if (argc < 1 || !args || args[0].type != kTypeInt)
        return;
    if (AsInt32(args[0]) == 0) {
        platform::OfferCompletionsOnce(platform::RecentAddresses());
    } else if (AsInt32(args[0]) == 1 && argc >= 2 && args[1].type == kTypeText && LastReadSucceeded()) {
        platform::RememberAddress(TextView(AsPointer<const char>(args[1])));
    }
}

} // namespace mt
