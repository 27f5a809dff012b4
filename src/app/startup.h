#pragma once

#include <QString>

class QSettings;
class QTranslator;

// Writes the default "Language" ("IT") when it is missing, loads the catalogue
// it selects ("IT": Italian, anything else: English) into the translator and
// installs it, together with Qt's own catalogue for that language. Returns the
// catalogue's file name.
QString installStartupTranslator(QSettings &settings, QTranslator &translator);

// Qt's own texts (standard buttons, file dialogs, key names in the menus) in
// the language of the given "Language" value: "IT" installs Qt's Italian
// catalogue from the system's Qt translations, anything else removes it (Qt's
// source texts are English). One catalogue is installed at a time; calling
// this again replaces it. Returns false when the catalogue could not be
// loaded, which leaves Qt's English texts on screen.
bool installQtCatalogue(const QString &language);

// Lets the whole window scale with the screen's density, pictures included.
// Must run before the application object is created.
void enableHighDpiScaling();
