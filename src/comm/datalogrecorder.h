#pragma once

#include "comm/cdevinfo.h"
#include "comm/livesample.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>

// Records the live link's poll answers into a datalog (see datalog.h) in the
// "log" folder inside the profile folder, one file per recording, named from
// the date, the time and the ECU's identity like the profile backups:
// 2026-12-07_105133_HW10_V1.1-R0.csv (an existing file is never replaced:
// "_2", "_3", ... is added).
//
// A recording may start with the link off: the file then gets its rows once
// polling runs, since answers come only while the link polls. Time 0 is the
// first answer recorded.
//
// Rows gather in memory and go to the file at most flushMs after they came
// in: a single-shot timer armed by the first row of an empty buffer, so an
// idle recording (link off) and an idle program never wake up for it.
// Taking a sample formats one short row into a buffer that keeps its room:
// nothing is allocated and nothing is signalled per sample.
class CDataLogRecorder : public QObject
{
    Q_OBJECT
public:
    explicit CDataLogRecorder(QObject *parent = nullptr, int flushMs = 1000);
    ~CDataLogRecorder() override;

    // Starts a recording in dataLogFolder(profileFolder), made when missing,
    // with the K and test-bench state of the moment. False, after error(),
    // when the folder or the file cannot be made or written; true also when
    // a recording already runs (it goes on).
    bool start(const QString &profileFolder, const CDevInfo &info, int k, bool bench);
    // Starts a recording into the file at `path`, replaced when it exists.
    bool startFile(const QString &path, int k, bool bench);
    // Writes what is left and closes the file.
    void stop();

    bool isRecording() const { return m_file.isOpen(); }
    // The file of the recording running, or of the last one.
    QString filePath() const { return m_path; }
    // Rows taken by the recording running, or by the last one.
    qint64 rowCount() const { return m_rows; }
    // Answers left out because a value was outside the log's ranges (a cell
    // index beyond 40 from a garbled answer): a row is never written that
    // the reader would refuse.
    qint64 skippedCount() const { return m_skipped; }
    // Time since the recording started (0 when none runs).
    qint64 elapsedMs() const { return isRecording() ? m_clock.elapsed() : 0; }
    int k() const { return m_k; }
    // Why the file could not be made or written, at the last failure.
    QString fileError() const { return m_fileError; }
    bool bench() const { return m_bench; }

public slots:
    // A poll answer (wired to CEcuSession::liveSample); ignored unless
    // recording.
    void addSample(const CLiveSample &sample);
    // The K (1..4) and test-bench state that the next rows carry.
    void setK(int k);
    void setBench(bool on);

signals:
    void recordingChanged(bool recording);
    // A recording could not start, or stopped because its file could not be
    // written; the text says which file and why.
    void error(const QString &message);

private:
    bool begin(const QString &path);
    bool writeOut();
    void fail(const QString &message);

    QFile m_file;
    QString m_path;
    QString m_fileError;
    QByteArray m_buffer;
    QTimer m_flushTimer;
    QElapsedTimer m_clock;
    qint64 m_origin = -1;  // the arrival time of the first answer recorded
    qint64 m_lastTime = 0; // the time of the last row
    qint64 m_rows = 0;
    qint64 m_skipped = 0;
    int m_k = 1;
    bool m_bench = false;
};
