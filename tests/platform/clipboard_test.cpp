#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/application.h"
#include "platform/clipboard.h"
#include "platform/system/text_mime.h"

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

// The exact bytes go beside the text and come back first; a text from
// another program (Unicode only) is converted.
TEST(Clipboard, OffersAndPrefersTheExactBytes)
{
    EnsureApplication();
    const std::string odd = "\xFF\xD6\xD0\x84\x31\x82\x36"; // FF, 中, U+E78D
    ASSERT_TRUE(SetClipboardText(odd));
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->data(QLatin1String(kGbMimeType)), QByteArray::fromStdString(odd));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("\xEF\xBF\xBD中\xEE\x9E\x8D"));
    EXPECT_EQ(ClipboardText(), odd);
    QGuiApplication::clipboard()->setText(QString::fromUtf8("中\xEE\x9E\x8D"));
    EXPECT_EQ(ClipboardText(), "\xD6\xD0\x84\x31\x82\x36");
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
