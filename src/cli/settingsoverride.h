#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <QVariantMap>

// Some settings of the user's store taken as other values for a while,
// without writing the store: while the override lives, QSettings() reads a
// scratch store in a temporary folder that holds a copy of the user's
// settings with the given values over them. The command line passes its
// options this way to the parts that read the store (the check after a
// write reads "Line/VerifyWrites" when the write starts).
class CSettingsOverride
{
public:
    explicit CSettingsOverride(const QVariantMap &values);
    // QSettings() reads the user's store again.
    ~CSettingsOverride();

    CSettingsOverride(const CSettingsOverride &) = delete;
    CSettingsOverride &operator=(const CSettingsOverride &) = delete;

    // False when no scratch store could be made: the user's store is read
    // as it is.
    bool isActive() const { return m_active; }

private:
    QTemporaryDir m_folder;
    QSettings::Format m_previous = QSettings::NativeFormat;
    bool m_active = false;
};
