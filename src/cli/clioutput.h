#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <cstdio>

class CProgressBar;

// What a subcommand tells its user. As text (the default), lines go to
// standard output as they come and errors to standard error, prefixed with
// the program's name. With --json the program writes exactly one JSON
// document to standard output when it ends: the subcommand's fields, its
// "command", its "exit_code" and, after a failure, its "error" message.
class CCliOutput
{
public:
    CCliOutput(bool json, const QString &command);

    bool isJson() const { return m_json; }

    // The progress bar to erase before anything else is printed (it draws
    // itself again at its next step). Not owned; null for none.
    void setProgressBar(CProgressBar *bar) { m_progress = bar; }

    // A line of text on standard output; nothing in JSON mode.
    void line(const QString &text) const;
    // A remark for the person at the terminal, on standard error, in both
    // modes (standard output stays the document's in JSON mode).
    void note(const QString &text) const;

    // A field of the JSON document; nothing in text mode.
    void set(const QString &key, const QJsonValue &value);

    // A failure: its message on standard error (text) or in the document's
    // "error" (JSON). Returns code, so that a subcommand can end with
    // `return out.fail(...)`.
    int fail(int code, const QString &message);
    // A usage error: as fail(), with a pointer to the help in text mode.
    int usageError(const QString &message);

    // Ends the output: writes the JSON document with "exit_code" (JSON
    // mode). Returns code. Called once, by the frame, when the subcommand
    // has returned.
    int finish(int code);

    // Writes text to standard output or error in the locale's encoding.
    static void print(FILE *stream, const QString &text);

private:
    void clearProgress() const;

    bool m_json;
    CProgressBar *m_progress = nullptr;
    QString m_command;
    QJsonObject m_document;
};

// One table row: each cell right-aligned to its header's width (at least 6).
QString tableRow(const QStringList &headers, const QStringList &cells);
