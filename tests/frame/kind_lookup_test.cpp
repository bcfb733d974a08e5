#include <gtest/gtest.h>

#include "frame/kind_lookup.h"

namespace mt {
namespace {

KindRoutine NoRoutines(int32_t) { return nullptr; }

ComponentKind UsedKind() { return ComponentKind{"k", "K", nullptr, 0, nullptr, 0x40, 0, 0, nullptr, 0, nullptr, NoRoutines, 0, nullptr}; }

class KindLookupTest : public testing::Test {
protected:
    void SetUp() override
    {
        kindsA_[0] = UsedKind();
        kindsA_[2] = UsedKind(); // position 1 stays an unused, all-zero entry
        kindsB_[0] = UsedKind();
        a_.kindCount = 3;
        a_.kinds = kindsA_;
        b_.kindCount = 1;
        b_.kinds = kindsB_;
    }
    ComponentKind kindsA_[3] = {};
    ComponentKind kindsB_[1] = {};
    LibraryRecord a_{}, b_{};
    const LibraryRecord* table_[3] = {&a_, nullptr, &b_};
};

TEST_F(KindLookupTest, FindsKindsByLibraryAndPositionCountedFromOne)
{
    EXPECT_EQ(FindKindIn(table_, 3, 0x00010001), &kindsA_[0]);
    EXPECT_EQ(FindKindIn(table_, 3, 0x00010003), &kindsA_[2]);
    EXPECT_EQ(FindKindIn(table_, 3, 0x00030001), &kindsB_[0]);
}

TEST_F(KindLookupTest, OutOfRangeCodesFindNothing)
{
    const uint32_t codes[] = {
        0x00000001, // library number 0
        0x00040001, // library number above the count
        0x00010000, // kind number 0
        0x00010004, // kind number above the kind count
        0x00020001, // a null library entry
        0x00010002, // an unused, zero-filled kind
        0xFFFF0001,
        0x0001FFFF,
        0,
    };
    for (uint32_t code : codes)
        EXPECT_EQ(FindKindIn(table_, 3, code), nullptr) << std::hex << code;
}

TEST(SaturatingTruncate, TowardZeroAndClampedAtTheLimits)
{
    EXPECT_EQ(SaturatingTruncate(2.9), 2);
    EXPECT_EQ(SaturatingTruncate(-2.9), -2);
    EXPECT_EQ(SaturatingTruncate(1e300), INT32_MAX);
    EXPECT_EQ(SaturatingTruncate(-1e300), INT32_MIN);
    EXPECT_EQ(SaturatingTruncate(0.0 / 0.0), 0);
}

} // namespace
} // namespace mt
