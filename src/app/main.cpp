#include "app/commandline.h"
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

    const CCommandLine commandLine(CCommandLine::argumentsOf(argc, argv));
    if (commandLine.action() != CCommandLine::Action::Run)
        return commandLine.report(argc, argv);

    enableHighDpiScaling();
    paintWithRasterOnly();
    CFontConfigPreload fontConfig;
    auto *app = new QApplication(argc, argv);
    // Qt reads the font configuration itself at the first text: it must find
    // it read, not read it a second time beside the thread.
    fontConfig.wait();
    useInterfaceFont();
    auto *translator = new QTranslator;
    auto *settings = new QSettings;

    installStartupTranslator(*settings, *translator);
    commandLine.applyBeforeWindow(*translator);

    auto *window = new frmProgPannel;
    window->show();
    commandLine.applyToWindow(window);
    const int code = QApplication::exec();

    delete window;
    delete settings;
    delete translator;
    delete app;
    return code;
}
