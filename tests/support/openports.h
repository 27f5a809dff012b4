#pragma once

#include <QString>

// How many descriptors of this process are open on the file behind `path`
// (a symbolic link is followed): whether the program still holds a port
// open, as another program trying to use it would find out.
int descriptorsOpenOn(const QString &path);
