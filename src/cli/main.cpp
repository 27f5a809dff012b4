// ecu-vantor-cli: the workshop's command line (see cli.h). A core
// application: it needs no display.
#include "cli/cli.h"

#include <QCoreApplication>

#include <hidapi/hidapi.h>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("ECU Vantor"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0.0.1"));
    QCoreApplication::setOrganizationName(QStringLiteral("vantor"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("info@ecuvantor.example"));

    QCoreApplication app(argc, argv);
    const int code = CCli::run(QCoreApplication::arguments());
    hid_exit(); // the ports look for the HID ECU
    return code;
}
