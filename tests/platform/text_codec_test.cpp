// Conversions between the runtime's GB18030 and Qt's UTF-16 (and UTF-8 for
// the world outside), over the characters the system converter leaves out.
#include <gtest/gtest.h>

#include <QString>

#include "abi/gb18030.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

std::string Bytes(const gb18030::PrivateUse& u) { return std::string(reinterpret_cast<const char*>(u.bytes), u.length); }

TEST(TextCodec, PrivateUseCharactersTakeTheirGb18030Codes)
{
    for (const gb18030::PrivateUse& u : gb18030::kPrivateUse) {
        SCOPED_TRACE(testing::Message() << std::hex << "U+" << u.codePoint);
        const QString one(QChar(static_cast<char16_t>(u.codePoint)));
        const QString text = QStringLiteral("a") + one + QStringLiteral("\u4E2D") + one;
        const std::string gb = "a" + Bytes(u) + "\xD6\xD0" + Bytes(u);
        EXPECT_EQ(ToGb(text), gb);
        std::string fromUtf8;
        ASSERT_TRUE(Utf8ToGb(text.toStdString(), &fromUtf8));
        EXPECT_EQ(fromUtf8, gb);
        EXPECT_EQ(GbCharAt(gb, 1).bytes, u.length);
        EXPECT_EQ(GbCharAt(gb, 1).units, 1);
        if (u.length == 4) { // the six two-byte codes read as the characters they stand for
            EXPECT_EQ(FromGb(gb), text);
            EXPECT_EQ(GbToUtf8(gb), text.toStdString());
        }
    }
    // What still does not convert is said: a lone surrogate is one '?'.
    EXPECT_EQ(Utf16ToGb(u"a\xD800"
                        "b"),
              "a?b");
}

} // namespace
} // namespace mt::platform
