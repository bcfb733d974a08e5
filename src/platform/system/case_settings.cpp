#include <QByteArray>
#include <QCryptographicHash>
#include <QSettings>

#include "platform/case_dialogs.h"

namespace mt::platform {
namespace {

const QString kKey = QStringLiteral("cases/file");

// The file the address history is kept in.
QSettings Settings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("middletext"),
                     QStringLiteral("middletext"));
}

} // namespace

std::string Sha256Hex(std::string_view bytes)
{
    const QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex().toStdString();
}

std::string RememberedCaseFile() { return Settings().value(kKey).toString().toLocal8Bit().toStdString(); }

void RememberCaseFile(std::string_view path)
{
    Settings().setValue(kKey, QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size())));
}

} // namespace mt::platform
