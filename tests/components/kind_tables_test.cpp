// The kind tables: positions, KindCodes, flags and property types.
#include <gtest/gtest.h>

#include "components/kind_tables.h"
#include "components/property_types.h"

namespace mt {
namespace {

TEST(KindTables, KindsSitAtTheirPositions)
{
    const struct {
        uint32_t code;
        const char* english;
        uint32_t flags;
        int32_t properties;
    } kinds[] = {
        {kKindCodeWindow, "window", 0x800000D0, 32},
        {kKindCodeEditBox, "EditBox", 0x80000040, 29},
        {kKindCodeButton, "Button", 0x80000840, 14},
        {kKindCodeTimer, "Timer", 0x80008040, 9},
        {kKindCodePictureBox, "PicBox", 0x840100C0, 0},
    };
    for (const auto& k : kinds) {
        const ComponentKind* kind = FindComponentKind(k.code);
        ASSERT_NE(kind, nullptr) << k.english;
        EXPECT_STREQ(kind->englishName, k.english);
        EXPECT_EQ(kind->flags, k.flags);
        EXPECT_EQ(kind->propertyCount, k.properties);
    }
    EXPECT_EQ(&kCoreKinds[31], FindComponentKind(kKindCodeTimer));
    EXPECT_EQ(FindComponentKind(0x00010002), nullptr); // an empty position
    EXPECT_EQ(FindComponentKind(0x00010034), nullptr); // past the table
    EXPECT_EQ(FindComponentKind(0x00010000), nullptr);
    EXPECT_EQ(FindComponentKind(0x00030001), nullptr);
}

TEST(KindTables, CommonPropertiesComeFirstEverywhere)
{
    const uint16_t common[8] = {1001, 1001, 1001, 1001, 1005, 1003, 1003, 1011};
    for (uint32_t code : {kKindCodeWindow, kKindCodeEditBox, kKindCodeButton, kKindCodeTimer}) {
        const ComponentKind* kind = FindComponentKind(code);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(PropertyTypeOf(kind->properties[i]), common[i]) << std::hex << code << " " << i;
        EXPECT_NE(kind->kindInterface(1), nullptr);
        EXPECT_EQ(kind->kindInterface(3), nullptr);
    }
    EXPECT_EQ(PropertyTypeOf(FindComponentKind(kKindCodeButton)->properties[13]), kPropFont);
}

TEST(KindTables, EditBoxPropertyTypes)
{
    const uint16_t own[21] = {1005, 1006, 1014, 1017, 1013, 1003, 1001, 1003, 1006, 1006, 1006,
                              1005, 1006, 1006, 1001, 1001, 1001, 1001, 1005, 1018, 1020};
    const ComponentKind* kind = FindComponentKind(kKindCodeEditBox);
    for (int i = 0; i < 21; ++i)
        EXPECT_EQ(PropertyTypeOf(kind->properties[8 + i]), own[i]) << 8 + i;
    EXPECT_NE(kind->kindInterface(8), nullptr); // WantsKey
    EXPECT_NE(kind->kindInterface(9), nullptr); // VisitTexts
    EXPECT_EQ(kind->kindInterface(10), nullptr);
}

TEST(PropertyClamps, CoordinatesSizesAndChoices)
{
    EXPECT_EQ(ClampPosition(40000), 32627);
    EXPECT_EQ(ClampPosition(-40000), -32627);
    EXPECT_EQ(ClampSize(-5), 0);
    EXPECT_EQ(ClampSize(40000), 32627);
    EXPECT_EQ(ClampChoice(-1, 3), 0);
    EXPECT_EQ(ClampChoice(9, 3), 3);
}

} // namespace
} // namespace mt
