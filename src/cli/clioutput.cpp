#include "cli/clioutput.h"

#include "cli/cli.h"
#include "cli/terminal.h"

#include <QJsonDocument>

#include <cstdio>

namespace {

const char ProgramName[] = "ecu-vantor-cli";

} // namespace

CCliOutput::CCliOutput(bool json, const QString &command)
    : m_json(json)
    , m_command(command)
{
}

void CCliOutput::print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

void CCliOutput::clearProgress() const
{
    if (m_progress)
        m_progress->clear();
}

void CCliOutput::line(const QString &text) const
{
    if (m_json)
        return;
    clearProgress();
    print(stdout, text + QLatin1Char('\n'));
}

void CCliOutput::note(const QString &text) const
{
    clearProgress();
    print(stderr, text + QLatin1Char('\n'));
}

void CCliOutput::set(const QString &key, const QJsonValue &value)
{
    if (m_json)
        m_document.insert(key, value);
}

int CCliOutput::fail(int code, const QString &message)
{
    clearProgress();
    if (m_json)
        m_document.insert(QStringLiteral("error"), message);
    else
        print(stderr, QLatin1String(ProgramName) + QStringLiteral(": ") + message
                          + QLatin1Char('\n'));
    return code;
}

int CCliOutput::usageError(const QString &message)
{
    fail(CliExit::Usage, message);
    if (!m_json) {
        const QString help = m_command.isEmpty()
                                 ? QStringLiteral("%1 --help").arg(QLatin1String(ProgramName))
                                 : QStringLiteral("%1 %2 --help")
                                       .arg(QLatin1String(ProgramName), m_command);
        print(stderr, CCli::tr("Usare \"%1\" per l'aiuto.").arg(help) + QLatin1Char('\n'));
    }
    return CliExit::Usage;
}

int CCliOutput::finish(int code)
{
    if (!m_json)
        return code;
    QJsonObject document = m_document;
    document.insert(QStringLiteral("command"),
                    m_command.isEmpty() ? QJsonValue() : QJsonValue(m_command));
    document.insert(QStringLiteral("exit_code"), code);
    const QByteArray bytes = QJsonDocument(document).toJson(QJsonDocument::Indented);
    FILE *stream = stdout;
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
    return code;
}

QString tableRow(const QStringList &headers, const QStringList &cells)
{
    QString row;
    for (int i = 0; i < headers.size(); ++i) {
        if (i > 0)
            row += QStringLiteral("  ");
        row += cells.value(i).rightJustified(qMax(6, headers.at(i).size()));
    }
    return row;
}
