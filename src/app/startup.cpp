#include "startup.h"

#include "mainwindow/qtcatalogue.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QSettings>
#include <QTranslator>

#ifdef VANTOR_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

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

void paintWithRasterOnly()
{
    // Without this every top-level widget asks for a surface that could also
    // take OpenGL children, and on X11 the platform then loads the GL driver
    // (Mesa with LLVM: some 50 MB resident and tens of milliseconds) to pick
    // the window's visual. Nothing in the program draws with OpenGL.
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
}

void useInterfaceFont()
{
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
}

CFontConfigPreload::CFontConfigPreload()
{
#ifdef VANTOR_HAVE_FONTCONFIG
    start();
#endif
}

CFontConfigPreload::~CFontConfigPreload()
{
    wait();
}

void CFontConfigPreload::run()
{
#ifdef VANTOR_HAVE_FONTCONFIG
    // Loads the default configuration that Qt's font database then uses.
    FcInit();
#endif
}
