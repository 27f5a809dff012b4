// The profile file (*.prf): loading any file and saving what was loaded.
// Input: the file's bytes; read again as doubles, the values to save.
#include "fuzzcheck.h"

#include "profile/profilecodec.h"

#include <QDataStream>
#include <cmath>
#include <cstring>

static QByteArray save(const QVector<double> &values, int k)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    writeProfile(out, values, k);
    FUZZ_CHECK(out.status() == QDataStream::Ok);
    return bytes;
}

static ProfileData load(const QByteArray &bytes)
{
    QDataStream in(bytes);
    return readProfile(in);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), static_cast<int>(size));

    // Loading: 41 values and K, one signed byte each; missing bytes read as
    // 0, bytes after the 42nd are ignored.
    const ProfileData loaded = load(file);
    FUZZ_CHECK(loaded.values.size() == ProfilePoints);
    QByteArray first42 = file.left(ProfilePoints + 1);
    first42.append(ProfilePoints + 1 - first42.size(), '\0');
    for (int i = 0; i < ProfilePoints; ++i)
        FUZZ_CHECK(loaded.values[i] == static_cast<qint8>(first42[i]));
    FUZZ_CHECK(loaded.k == static_cast<qint8>(first42[ProfilePoints]));

    // Saving what was loaded gives the same 42 bytes back.
    FUZZ_CHECK(save(loaded.values, loaded.k) == first42);

    // Saving any values: always 42 bytes; each value is stored as its
    // truncated byte, so values within -128..127 come back whole.
    if (size < sizeof(double) + sizeof(int))
        return 0;
    int k = 0;
    std::memcpy(&k, data, sizeof k);
    QVector<double> values(ProfilePoints);
    for (int i = 0; i < ProfilePoints; ++i) {
        const size_t at = (i * sizeof(double)) % (size - sizeof(double) + 1);
        std::memcpy(&values[i], data + at, sizeof(double));
    }
    const QByteArray saved = save(values, k);
    FUZZ_CHECK(saved.size() == ProfilePoints + 1);
    const ProfileData back = load(saved);
    for (int i = 0; i < ProfilePoints; ++i) {
        FUZZ_CHECK(back.values[i] == valueToByte(values[i]));
        const double whole = std::trunc(values[i]);
        if (std::isfinite(whole) && whole >= -128 && whole <= 127)
            FUZZ_CHECK(back.values[i] == whole);
    }
    FUZZ_CHECK(back.k == static_cast<qint8>(static_cast<quint8>(k & 0xFF)));
    return 0;
}
