#pragma once

#include "comm/cdevinfo.h"

#include <QDateTime>
#include <QString>
#include <QVector>

// Every profile read from the ECU is kept, without asking, as a profile file
// in the backup folder, named by the time of the read and the ECU's
// identity: 2026-12-07_105133_HW10_V1.1-R0.prf.

// "backup" inside the profile folder.
QString backupFolder();

// The file name for a read at `when` from the ECU `info`.
QString backupFileName(const QDateTime &when, const CDevInfo &info);

// Writes values and K as a 42-byte profile file into folder (made when
// missing) under name, atomically; an existing file is never replaced: a
// suffix "_2", "_3", ... is added before ".prf". Returns the path written,
// or an empty text with the reason in *error.
QString writeBackup(const QString &folder, const QString &name, const QVector<double> &values,
                    int k, QString *error);
