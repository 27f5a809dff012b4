#pragma once

#include <QString>
#include <QThread>

class QSettings;
class QTranslator;

// Writes the default "Language" ("IT") when it is missing, loads the catalogue
// it selects ("IT": Italian, anything else: English) into the translator and
// installs it, together with Qt's own catalogue for that language. Returns the
// catalogue's file name.
QString installStartupTranslator(QSettings &settings, QTranslator &translator);

// Lets the whole window scale with the screen's density, pictures included.
// Must run before the application object is created.
void enableHighDpiScaling();

// Windows paint with the raster engine alone: no widget asks for an OpenGL
// surface, so no GL driver is loaded. Call before the first window is created.
void paintWithRasterOnly();

// The interface font: the form was laid out for an 8-point font. Call once
// the application object exists.
void useInterfaceFont();

// Reads the system's font configuration (fontconfig, where the program is
// built with it) on a thread of its own while the application object connects
// to the display; the first window measures its texts as soon as it is built,
// and the configuration takes milliseconds to read. Starts when constructed;
// wait() for it before the first window is built. Elsewhere it does nothing.
class CFontConfigPreload : public QThread
{
public:
    CFontConfigPreload();
    ~CFontConfigPreload() override;

protected:
    void run() override;
};
