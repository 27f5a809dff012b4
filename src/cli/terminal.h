#pragma once

#include <QObject>
#include <QString>

#include <cstdio>

class QSocketNotifier;
class QTimer;

// A progress bar on standard error, drawn on one line that it redraws in
// place, only when standard error is a terminal (a script's log gets no
// carriage returns). Nothing of it reaches standard output.
class CProgressBar
{
public:
    CProgressBar();                  // shown when standard error is a terminal
    explicit CProgressBar(bool shown);
    ~CProgressBar();                 // clears a bar still drawn

    static bool standardErrorIsTerminal();

    bool isShown() const { return m_shown; }

    // What is under way ("Lettura della mappa"); the bar restarts at 0 %.
    void start(const QString &label);
    // 0..100 (limited to that range); drawn when the whole percentage
    // changes, or when the bar was erased.
    void setPercent(int percent);
    // Erases the bar's line: before other output to the terminal (the
    // output does it, see CCliOutput::setProgressBar), and at the end.
    void clear();

    // The bar's line: label, a bar of `width` cells and the percentage.
    static QString render(const QString &label, int percent, int width = 30);

private:
    void draw();

    bool m_shown;
    bool m_drawn = false;
    int m_percent = -1;
    int m_drawnLength = 0;
    QString m_label;
};

// Whether a stream (stdout, stderr) is a terminal.
bool isTerminal(FILE *stream);

// Ctrl+C (SIGINT) and SIGTERM, turned into an event the program sees: the
// signal handler only writes a byte into a pipe, and the event loop reads it
// and emits interrupted(). The first signal asks the program to stop at a
// safe point; the handlers are then back to the default, so a second Ctrl+C
// ends a program that does not stop. One watcher at a time; the destructor
// puts the previous handlers back.
class CInterruptWatcher : public QObject
{
    Q_OBJECT

public:
    explicit CInterruptWatcher(QObject *parent = nullptr);
    ~CInterruptWatcher() override;

    // The user asked to stop (seen by the event loop).
    bool isInterrupted() const { return m_interrupted; }

signals:
    // Emitted once, from the event loop of the watcher's thread.
    void interrupted();

private:
    void take();

    bool m_interrupted = false;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_poll = nullptr;
};
