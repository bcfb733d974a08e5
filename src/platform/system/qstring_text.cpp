// GB18030 to and from Qt's own UTF-16 strings.
#include <QString>

#include "platform/base/text_conversion.h"
#include "platform/text_codec.h"

namespace mt::platform {

QString FromGb(std::string_view gb)
{
    std::string utf16;
    ConvertText("UTF-16LE", "GB18030", gb, &utf16, false, std::string_view("\xfd\xff", 2));
    return QString(reinterpret_cast<const QChar*>(utf16.data()), static_cast<qsizetype>(utf16.size() / 2));
}

std::string ToGb(const QString& text)
{
    return Utf16ToGb(Utf16View(text));
}

std::u16string_view Utf16View(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())};
}

} // namespace mt::platform
