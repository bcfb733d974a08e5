#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include "platform/application.h"
#include "platform/clipboard.h"

namespace mt::platform {
namespace {

TEST(Clipboard, RoundTripsGbTextAsUnicode)
{
    EnsureApplication();
    // 中文 in GB18030 and U+1F600 (94 39 FC 36), a character beyond the
    // basic plane; bytes from iconv -f UTF-8 -t GB18030.
    const std::string text = "a\xD6\xD0\xCE\xC4\r\n\x94\x39\xFC\x36";
    ASSERT_TRUE(SetClipboardText(text));
    EXPECT_EQ(ClipboardText(), text);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("a中文\r\n\xF0\x9F\x98\x80"));
}

TEST(Clipboard, TheEmptyTextIsATextToo)
{
    EnsureApplication();
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(ClipboardHasText());
    ASSERT_TRUE(SetClipboardText(""));
    EXPECT_TRUE(ClipboardHasText());
    EXPECT_EQ(ClipboardText(), "");
}

} // namespace
} // namespace mt::platform
