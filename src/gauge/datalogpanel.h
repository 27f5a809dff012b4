#pragma once

#include "comm/cdevinfo.h"
#include "comm/livesample.h"

#include <QDockWidget>
#include <QTimer>

class CDataLogRecorder;
class CLogReplayer;
class CStripChart;
class QAction;
class QLabel;
class QSlider;
class QToolButton;

// Elapsed or log time as the panel shows it: "mm:ss", or "h:mm:ss" from an
// hour on.
QString formatLogTime(qint64 ms);

// The datalog panel ("dockRegistrazione"): the strip chart, the recording
// switch with its state (a red dot, "Registrazione in corso" and the time
// elapsed) and the replay controls (open a log, play/pause, a time slider,
// position and duration). It owns a recorder and a replayer.
//
// The window feeds it: live answers (addLiveSample and recorder()->addSample,
// both from CEcuSession::liveSample), the link switch (setLinkOn), the ECU's
// identity (setDevInfo) and K and the test bench (recorder()->setK,
// recorder()->setBench); it drives the gauge and the readouts from
// replayer()->sampleAt while the link is off. While the link is on, the
// chart shows the live answers, and replay is paused with its controls
// disabled; otherwise it shows the log opened, with the replay's position,
// and a click on it moves the replay there.
class CDataLogDock : public QDockWidget
{
    Q_OBJECT
public:
    explicit CDataLogDock(QWidget *parent = nullptr);
    ~CDataLogDock() override;

    CDataLogRecorder *recorder() const { return m_recorder; }
    CLogReplayer *replayer() const { return m_replayer; }
    CStripChart *chart() const { return m_chart; }
    // "Registra log": checkable, F9; checked while a recording runs.
    QAction *recordAction() const { return m_recordAction; }
    // "Apri log...": a file dialog in the log folder, then openLog.
    QAction *openLogAction() const { return m_openLogAction; }

    // The ECU whose identity names the next recording's file.
    void setDevInfo(const CDevInfo &info) { m_devInfo = info; }
    void retranslateUi();

public slots:
    // A live answer, for the chart.
    void addLiveSample(const CLiveSample &sample);
    void setLinkOn(bool on);
    // Starts or stops a recording in the log folder of the profile folder; a
    // failure is shown in a warning box over the panel.
    void setRecording(bool on);
    // Opens a log for replay, at its start; a file that is not a log is
    // shown in a warning box over the panel, naming the line.
    bool openLog(const QString &path);

signals:
    // A log was opened for replay; its rows are replayer()->samples().
    void logOpened(const QString &path);

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void chooseLog();
    void onRecordingChanged(bool on);
    void showElapsed();
    void showPosition(qint64 ms);
    void showReplayPosition(qint64 ms);
    void seekTo(qint64 ms);
    void updateReplayControls();
    void showPlayIcon();
    void warn(const QString &title, const QString &text);
    void showLogName();

    CDataLogRecorder *m_recorder;
    CLogReplayer *m_replayer;
    CStripChart *m_chart;
    QAction *m_recordAction;
    QAction *m_openLogAction;
    QToolButton *m_recordButton;
    QLabel *m_dot;
    QLabel *m_stateLabel;
    QLabel *m_elapsedLabel;
    QToolButton *m_openButton;
    QToolButton *m_playButton;
    QSlider *m_slider;
    QLabel *m_positionLabel;
    QLabel *m_logLabel;
    QString m_logName; // the log replayed, shown as its room allows
    QTimer m_elapsedTimer; // runs only while recording
    CDevInfo m_devInfo;
    bool m_linkOn = false;
    bool m_playIconStale = true;
    bool m_chartLive = false; // the chart shows live answers, not the replay
};
