#pragma once

#include "profile/profilecodec.h"

#include <QString>

class CCliOutput;

// Reads a profile file for a subcommand: false, with the reason reported
// (exit code 5 in *exitCode), when it cannot be read or is shorter than a
// profile (42 bytes), as the window refuses it.
bool readProfileForCli(const QString &path, ProfileData *data, CCliOutput &out, int *exitCode);

// Checks, before any work is done, that a file can be written at path (the
// folder exists and lets us write, an existing file is writable, the path
// is no folder); nothing is left behind. False, with the reason reported
// (exit code 5 in *exitCode), when it cannot.
bool checkWritable(const QString &path, CCliOutput &out, int *exitCode);

// show FILE: the profile as a table of engine speed and value, and K.
int runShow(const QString &path, int cylinders, CCliOutput &out);

// diff A B: the points where two profiles differ, and K when it differs.
// 0 when they are the same, 4 (different values) when they differ.
int runDiff(const QString &pathA, const QString &pathB, int cylinders, CCliOutput &out);
