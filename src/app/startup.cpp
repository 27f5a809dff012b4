#include "startup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
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

bool installQtCatalogue(const QString &language)
{
    // Owned by the application object, so it goes with it.
    static QPointer<QTranslator> qtTranslator;
    if (qtTranslator) {
        QCoreApplication::removeTranslator(qtTranslator);
        delete qtTranslator;
    }
    if (language != QLatin1String("IT"))
        return true;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_it"),
                          QLibraryInfo::location(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    qtTranslator = translator;
    QCoreApplication::installTranslator(qtTranslator);
    return true;
}

void enableHighDpiScaling()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
}
