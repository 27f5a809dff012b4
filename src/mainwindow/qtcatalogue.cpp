#include "qtcatalogue.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

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
