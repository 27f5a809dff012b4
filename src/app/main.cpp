#include "app/startup.h"
#include "mainwindow/frmprogpannel.h"

#include <QApplication>
#include <QSettings>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("ECU Vantor"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0.0.1"));
    QCoreApplication::setOrganizationName(QStringLiteral("vantor"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("info@ecuvantor.example"));

    auto *app = new QApplication(argc, argv);
    auto *translator = new QTranslator;
    auto *settings = new QSettings;

    installStartupTranslator(*settings, *translator);

    auto *window = new frmProgPannel;
    window->show();
    const int code = QApplication::exec();

    delete window;
    delete settings;
    delete translator;
    delete app;
    return code;
}
