#include "launch.h"

#include <memory>

#include <QCoreApplication>
#include <QDir>

#include "serialtransport.h"

namespace vardo {

std::optional<ViewKind> ViewFromName(const QString& name)
{
    static const QStringList names{QStringLiteral("all"), QStringLiteral("99"), QStringLiteral("pms"),
                                   QStringLiteral("qmb")};
    const qsizetype at = names.indexOf(name);
    if (at < 0)
        return std::nullopt;
    return kAllViews[at];
}

QString DataFolder(const QString& chosen)
{
    return QDir(chosen.isEmpty() ? QCoreApplication::applicationDirPath() : chosen).absolutePath();
}

QStringList PortsToProbe(const QStringList& named, bool simulate, const QStringList& systemPorts)
{
    QStringList ports = named.isEmpty() ? systemPorts : named;
    if (simulate)
        ports.prepend(QString::fromLatin1(kSimulatedPort));
    return ports;
}

TransportFactory RadioPorts(bool simulate, sim::Timing timing)
{
    TransportFactory serial = SerialTransport::factory();
    if (!simulate)
        return serial;
    auto radio = std::make_shared<sim::SimRadio>();
    radio->loadDemoImage();
    return sim::SimulatedPortFactory(radio, QString::fromLatin1(kSimulatedPort), serial, timing);
}

}  // namespace vardo
