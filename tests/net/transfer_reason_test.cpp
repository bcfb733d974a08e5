// The stable error codes of transfers, from their reasons.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "net/transfer_reason.h"

namespace mt {
namespace {

// The stable names scripts see: one for every reason, from a closed list;
// a whole page has none, or http_status for an error status.
TEST(TransferErrorCodes, EveryReasonHasOneOfTheClosedList)
{
    const std::set<std::string> known = {"connect", "resolve", "timeout", "low_speed", "tls", "too_large", "http_status",
                                         "read", "no_such_file", "bad_url", "decode", "ended_early", "redirect"};
    for (int32_t r = static_cast<int32_t>(TransferReason::kBadUrl); r <= static_cast<int32_t>(TransferReason::kOther); ++r) {
        const auto reason = static_cast<TransferReason>(r);
        EXPECT_TRUE(known.count(ErrorCode(reason, false, false, 0))) << r;
        EXPECT_TRUE(known.count(ErrorCode(reason, false, true, 200))) << r;
    }
    EXPECT_STREQ(ErrorCode(TransferReason::kNone, true, false, 200), "");
    EXPECT_STREQ(ErrorCode(TransferReason::kNothingReturned, true, false, 204), "");
    EXPECT_STREQ(ErrorCode(TransferReason::kNone, true, false, 404), "http_status");
    EXPECT_STREQ(ErrorCode(TransferReason::kConnect, false, false, 0), "connect");
    EXPECT_STREQ(ErrorCode(TransferReason::kResolve, false, false, 0), "resolve");
    EXPECT_STREQ(ErrorCode(TransferReason::kCertificate, false, false, 0), "tls");
    EXPECT_STREQ(ErrorCode(TransferReason::kStalled, false, true, 200), "timeout");
    EXPECT_STREQ(ErrorCode(TransferReason::kBroken, false, true, 200), "ended_early");
    EXPECT_STREQ(ErrorCode(TransferReason::kBroken, false, false, 0), "read");
    EXPECT_STREQ(ErrorCode(TransferReason::kTooLarge, false, true, 200), "too_large");
    EXPECT_STREQ(ErrorCode(TransferReason::kBadEncoding, false, false, 200), "decode");
    EXPECT_STREQ(ErrorCode(TransferReason::kBadUrl, false, false, 0), "bad_url");
}

} // namespace
} // namespace mt
