#pragma once

#include <QString>

// The folder the profile file dialogs start in, and where profiles belong:
// - the folder given on the command line (--profiles), when one was given;
// - otherwise "Profili" in the working directory, when that folder exists
//   (workshops that keep their profiles beside the program);
// - otherwise "Profili" in the user's documents folder, created when missing.
// Always an absolute path.
QString profileFolder();

// Makes profileFolder() return this folder for the rest of the run; an empty
// text withdraws it.
void setProfileFolderOverride(const QString &folder);
