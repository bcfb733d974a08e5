#include "platform/live_results.h"

#include <QSettings>

namespace mt::platform {
namespace {

const QString kKey = QStringLiteral("live/enabled");

QSettings Settings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("middletext"),
                     QStringLiteral("middletext"));
}

// -1: not read yet.
int g_on = -1;

} // namespace

bool LiveResultsOn()
{
    if (g_on < 0)
        g_on = Settings().value(kKey, true).toBool() ? 1 : 0;
    return g_on == 1;
}

void SetLiveResultsOn(bool on)
{
    g_on = on ? 1 : 0;
    QSettings settings = Settings();
    settings.setValue(kKey, on);
    settings.sync();
}

void ForgetLiveResultsSetting() { g_on = -1; }

} // namespace mt::platform
