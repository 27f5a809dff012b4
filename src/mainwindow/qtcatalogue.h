#pragma once

#include <QString>

// Qt's own texts (standard buttons, file dialogs, key names in the menus) in
// the language of the given "Language" value: "IT" installs Qt's Italian
// catalogue from the system's Qt translations, anything else removes it (Qt's
// source texts are English). One catalogue is installed at a time; calling
// this again replaces it. Returns false when the catalogue could not be
// loaded, which leaves Qt's English texts on screen.
bool installQtCatalogue(const QString &language);
