#pragma once

#include <QString>

class QSettings;
class QTranslator;

// Writes the default "Language" ("IT") when it is missing, loads the catalogue
// it selects ("IT": Italian, anything else: English) into the translator and
// installs it. Returns the catalogue's file name.
QString installStartupTranslator(QSettings &settings, QTranslator &translator);
