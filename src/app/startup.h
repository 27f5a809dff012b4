#pragma once

#include <QString>

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
