#pragma once

#include "comm/livesample.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// A datalog is a CSV file in UTF-8 with "." decimals: one header row of
// fixed ASCII names with their units, the same in every language, then one
// row per poll answer:
//
//   time_ms,rpm,cell_index,cell_value,probe_adc,k,test_bench
//   0,1210,4,-3,131,2,0
//
// time_ms     time since the first answer recorded, milliseconds, never
//             decreasing
// rpm         engine speed, revolutions per minute, 0..65535
// cell_index  the curve cell in use, 0..40
// cell_value  the value the ECU reports for that cell, -128..127
// probe_adc   temperature-probe level in raw ADC counts, 0..255
// k           the injection factor K at that moment, 1..4
// test_bench  the test-bench mode at that moment, 0 or 1

// The header row, with its line end.
extern const char kDataLogHeader[];

// The folder that holds the datalogs: "log" inside the profile folder.
QString dataLogFolder(const QString &profileFolder);

// A datalog in memory: the answers with their time since the start in
// `ms`, and the K and test-bench state of each.
struct CDataLog
{
    QVector<CLiveSample> samples;
    QVector<qint8> k;
    QVector<bool> bench;

    int size() const { return samples.size(); }
    // The time of the last row (0 for an empty log).
    qint64 duration() const { return samples.isEmpty() ? 0 : samples.constLast().ms; }
};

// Whether a row with these values can be written: every field within its
// range (a file must never hold a row its reader refuses). The test-bench
// field, a bool, always is.
bool isDataLogRowValid(qint64 timeMs, const CLiveSample &sample, int k);

// Appends one row (with its line end) to out, for the time timeMs; the
// sample's own `ms` is not used. Allocates nothing when out has room.
void appendDataLogRow(QByteArray *out, qint64 timeMs, const CLiveSample &sample, int k,
                      bool bench);

// Parses a whole datalog. A file with nothing but blanks is refused as
// empty. On a fault it returns false, leaves log alone and
// puts in *error a message that names the line (counted from 1).
bool parseDataLog(const QByteArray &data, CDataLog *log, QString *error);

// Reads and parses the file at path; failures as for parseDataLog, or the
// reason the file could not be read.
bool readDataLog(const QString &path, CDataLog *log, QString *error);
