#include "startup.h"

#include "mainwindow/qtcatalogue.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTranslator>

QString installStartupTranslator(QSettings &settings, QTranslator &translator)
{
    if (!settings.contains(QStringLiteral("Language")))
        settings.setValue(QStringLiteral("Language"), QStringLiteral("IT"));
    const QString language = settings.value(QStringLiteral("Language")).toString();
    const QString catalogue = language == QLatin1String("IT") ? QStringLiteral("ECUVantor-it.qm")
                                                              : QStringLiteral("ECUVantor-en.qm");
    // A catalogue that fails to load leaves the source texts on screen.
    (void)translator.load(catalogue, QStringLiteral(":/linguist"));
    QCoreApplication::installTranslator(&translator);
    (void)installQtCatalogue(language);
    return catalogue;
}

void enableHighDpiScaling()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
}
