#include "cli/settingsoverride.h"

#include <QDataStream>
#include <QIODevice>

namespace {

// The scratch store's own format: a map in a data stream. Only this program
// reads it, and the user's own format (on Windows the registry) is never
// touched while it is in use.
bool readScratch(QIODevice &device, QSettings::SettingsMap &map)
{
    QDataStream in(&device);
    in >> map;
    return in.status() == QDataStream::Ok;
}

bool writeScratch(QIODevice &device, const QSettings::SettingsMap &map)
{
    QDataStream out(&device);
    out << map;
    return out.status() == QDataStream::Ok;
}

QSettings::Format scratchFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("scratch"), readScratch, writeScratch);
    return format;
}

} // namespace

CSettingsOverride::CSettingsOverride(const QVariantMap &values)
{
    const QSettings::Format format = scratchFormat();
    if (!m_folder.isValid() || format == QSettings::InvalidFormat)
        return;

    // What the user's store holds (with its fallbacks), read once.
    QVariantMap copy;
    {
        const QSettings user;
        const QStringList keys = user.allKeys();
        for (const QString &key : keys)
            copy.insert(key, user.value(key));
    }
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        copy.insert(it.key(), it.value());

    m_previous = QSettings::defaultFormat();
    QSettings::setPath(format, QSettings::UserScope, m_folder.path());
    QSettings::setPath(format, QSettings::SystemScope, m_folder.filePath(QStringLiteral("system")));
    QSettings::setDefaultFormat(format);
    {
        QSettings scratch;
        for (auto it = copy.cbegin(); it != copy.cend(); ++it)
            scratch.setValue(it.key(), it.value());
        scratch.sync();
        m_active = scratch.status() == QSettings::NoError;
    }
    if (!m_active)
        QSettings::setDefaultFormat(m_previous);
}

CSettingsOverride::~CSettingsOverride()
{
    if (m_active)
        QSettings::setDefaultFormat(m_previous);
}
