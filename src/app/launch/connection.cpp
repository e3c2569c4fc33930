// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection.h"

#include <QSettings>
#include <QUrl>

#include "messagetext.h"

namespace vardo {
namespace {

constexpr char kPortsKey[] = "Connection/Ports";
constexpr char kPacingKey[] = "Connection/Pacing";

// Named explicitly, not through the application's names: those also name the data folder.
[[nodiscard]] QSettings Settings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vardo"), QStringLiteral("Vardo"));
}

}  // namespace

Connection StoredConnection()
{
    const QSettings settings = Settings();
    Connection stored;
    for (const QString& port : settings.value(QLatin1String(kPortsKey)).toStringList()) {
        if (!port.trimmed().isEmpty() && !PortNameProblem(port))
            stored.ports << port.trimmed();
    }
    bool ok = false;
    const int pacing = settings.value(QLatin1String(kPacingKey)).toInt(&ok);
    if (ok && pacing >= 0 && pacing <= Cat::kMaxPacing)
        stored.pacing = pacing;
    return stored;
}

void StoreConnection(const Connection& connection)
{
    QSettings settings = Settings();
    settings.setValue(QLatin1String(kPortsKey), connection.ports);
    settings.setValue(QLatin1String(kPacingKey), connection.pacing);
}

std::optional<QString> PortNameProblem(const QString& name)
{
    const QString form = QStringLiteral("A radio on the network is given as tcp://HOST:PORT, with a port number "
                                        "from 1 to 65535, for example tcp://192.168.1.20:4001.");
    if (!name.contains(QLatin1String("://")))
        return std::nullopt;
    const QUrl url(name, QUrl::StrictMode);
    const bool tcp = url.isValid() && url.scheme().compare(QLatin1String("tcp"), Qt::CaseInsensitive) == 0;
    const bool bare = url.userInfo().isEmpty() && (url.path().isEmpty() || url.path() == u'/') && !url.hasQuery()
        && !url.hasFragment();
    if (tcp && bare && !url.host().isEmpty() && url.port() >= 1)
        return std::nullopt;
    return QStringLiteral("\"%1\" is not a network address Vardo can use.").arg(name) + kMessageLineBreak + form;
}

}  // namespace vardo
