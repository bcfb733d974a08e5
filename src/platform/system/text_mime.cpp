#include "platform/system/text_mime.h"

#include <QByteArray>
#include <QMimeData>

#include "platform/text_codec.h"

namespace mt::platform {

QMimeData* NewTextMime(std::string_view gb)
{
    auto* data = new QMimeData;
    FillTextMime(data, gb);
    return data;
}

void FillTextMime(QMimeData* data, std::string_view gb)
{
    data->setText(FromGb(gb));
    data->setData(QLatin1String(kGbMimeType), QByteArray(gb.data(), static_cast<qsizetype>(gb.size())));
}

bool MimeHasText(const QMimeData* data)
{
    return data && (data->hasFormat(QLatin1String(kGbMimeType)) || data->hasText());
}

bool TextFromMime(const QMimeData* data, std::string* gb)
{
    if (!data)
        return false;
    if (data->hasFormat(QLatin1String(kGbMimeType))) {
        const QByteArray bytes = data->data(QLatin1String(kGbMimeType));
        gb->assign(bytes.constData(), static_cast<size_t>(bytes.size()));
        return true;
    }
    if (!data->hasText())
        return false;
    *gb = ToGb(data->text());
    return true;
}

} // namespace mt::platform
