#include "platform/recent_addresses.h"

#include <QSettings>
#include <QStringList>
#include <QUrl>

#include <cstdlib>
#include <cstring>

#include "platform/text_codec.h"

namespace mt::platform {
namespace {

const QString kKey = QStringLiteral("history/addresses");

QSettings Settings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("middletext"),
                     QStringLiteral("middletext"));
}

} // namespace

bool AddressHistoryOn()
{
    const char* off = std::getenv("MIDDLETEXT_NO_HISTORY");
    if (off && *off && std::strcmp(off, "0") != 0)
        return false;
    return Settings().value(QStringLiteral("history/enabled"), true).toBool();
}

std::vector<std::string> RecentAddresses()
{
    std::vector<std::string> out;
    if (!AddressHistoryOn())
        return out;
    for (const QString& a : Settings().value(kKey).toStringList()) {
        if (out.size() == kRecentAddressCount)
            break;
        out.push_back(ToGb(a));
    }
    return out;
}

void RememberAddress(std::string_view gb)
{
    if (!AddressHistoryOn())
        return;
    QUrl url(FromGb(gb));
    if (!url.isValid())
        return;
    url.setUserInfo(QString());
    const QString address = url.toString();
    if (address.isEmpty())
        return;
    QSettings settings = Settings();
    QStringList list = settings.value(kKey).toStringList();
    list.removeAll(address);
    list.prepend(address);
    while (list.size() > static_cast<qsizetype>(kRecentAddressCount))
        list.removeLast();
    settings.setValue(kKey, list);
}

} // namespace mt::platform
