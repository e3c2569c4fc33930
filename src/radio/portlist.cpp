// SPDX-License-Identifier: GPL-3.0-or-later
#include "portlist.h"

#include <algorithm>

#include <QSerialPortInfo>

namespace vardo {
namespace {

// Splits "/dev/ttyUSB12" into "/dev/ttyUSB" and 12 (-1 when there is no trailing number).
[[nodiscard]] std::pair<QString, qlonglong> SplitTrailingNumber(const QString& name)
{
    qsizetype start = name.size();
    while (start > 0 && name.at(start - 1).isDigit())
        --start;
    if (start == name.size())
        return {name, -1};
    return {name.left(start), name.mid(start).toLongLong()};
}

}  // namespace

QStringList OrderedPortNames(QStringList names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return SplitTrailingNumber(a) < SplitTrailingNumber(b);
    });
    if (names.size() > kMaxProbedPorts)
        names.resize(kMaxProbedPorts);
    return names;
}

QStringList DefaultPortNames()
{
    QStringList names;
#ifdef Q_OS_WIN
    for (int n = 1; n <= kMaxProbedPorts; ++n)
        names << QStringLiteral("COM%1").arg(n);
#else
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names << info.systemLocation();
#endif
    return OrderedPortNames(names);
}

}  // namespace vardo
