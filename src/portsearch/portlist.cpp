#include "portlist.h"

#include "virtualports.h"

#include <QSerialPortInfo>

bool isSerialPortName(const QString &name)
{
    return name.contains(QLatin1String("COM"))
           || name.startsWith(QLatin1String("tty"))
           || name.startsWith(QLatin1Char('/'));
}

QStringList serialPortNames()
{
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names.append(info.portName());
    names.append(virtualPorts());
    return names;
}
