#include "profilecodec.h"

#include "comm/frames.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>
#include <cmath>

qint8 valueToByte(double value)
{
    // Truncated toward zero to 16 bits; the low 8 bits are the stored byte.
    if (!std::isfinite(value))
        return 0;
    const double clamped = std::fmax(-32768.0, std::fmin(32767.0, std::trunc(value)));
    const auto word = static_cast<qint16>(clamped);
    return static_cast<qint8>(static_cast<quint8>(static_cast<quint16>(word) & 0xFF));
}

void writeProfile(QDataStream &out, const QVector<double> &values, int k)
{
    for (double v : values)
        out << valueToByte(v);
    out << static_cast<qint8>(static_cast<quint8>(k & 0xFF));
}

ProfileData readProfile(QDataStream &in)
{
    ProfileData data;
    data.values.resize(ProfilePoints);
    for (int i = 0; i < ProfilePoints; ++i) {
        qint8 b = 0; // past the end of the data the stream yields 0
        in >> b;
        data.values[i] = b;
    }
    qint8 k = 0;
    in >> k;
    data.k = k;
    return data;
}

bool readProfileFile(const QString &path, ProfileData *data, ProfileFileFault *fault)
{
    ProfileFileFault found;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        found.kind = ProfileFileFault::Open;
        found.reason = file.errorString();
    } else if (file.size() < ProfileFileBytes) {
        found.kind = ProfileFileFault::TooShort;
        found.size = file.size();
    } else {
        QDataStream in(&file);
        const ProfileData read = readProfile(in);
        if (in.status() == QDataStream::Ok) {
            *data = read;
            return true;
        }
        found.kind = ProfileFileFault::Read;
        found.reason = file.errorString();
    }
    if (fault)
        *fault = found;
    return false;
}

QString withProfileSuffix(const QString &name)
{
    if (name.endsWith(QLatin1String(".prf"), Qt::CaseInsensitive))
        return name;
    return name + QLatin1String(".prf");
}

QByteArray profileNameBytes(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    QByteArray bytes;
    for (QChar c : name) {
        if (bytes.size() == 40)
            break;
        bytes.append(c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '\0');
    }
    bytes.append(40 - bytes.size(), '\0');
    return bytes;
}

QByteArray buildFlashImageBytes(const QVector<double> &values, quint8 hardware,
                                const QString &pathText)
{
    QByteArray image;
    for (double v : values)
        image.append(static_cast<char>(valueToByte(v)));
    if (hardware >= 20)
        image.append(profileNameBytes(pathText));
    image.resize(hardware >= 20 ? 81 : 41);
    return image;
}

static int signedAt(const QByteArray &image, int pos)
{
    return pos < image.size() ? static_cast<qint8>(image.at(pos)) : 0;
}

FlashImage parseFlashImage(const QByteArray &image, quint8 hardware)
{
    const bool large = hardware >= 20;
    FlashImage result;
    result.values.resize(ProfilePoints);
    for (int i = 0; i < ProfilePoints; ++i)
        result.values[i] = signedAt(image, i);
    if (large) {
        result.hasName = true;
        for (int pos = 41; pos <= 79 && pos < image.size(); ++pos) {
            const QChar c = QChar::fromLatin1(image.at(pos));
            if (c.isPrint())
                result.name.append(c);
        }
    }
    result.k = signedAt(image, large ? 82 : 42);
    result.benchOn = signedAt(image, large ? 89 : 49) != 0;
    return result;
}

WriteCheck checkWrittenImage(const QByteArray &sent, const QByteArray &readBack)
{
    WriteCheck check;
    // The bytes the ECU holds as sent: the values and the name up to byte 79.
    for (int i = 0; i < qMin(sent.size(), CheckedImageBytes); ++i) {
        if (i < readBack.size() && readBack.at(i) == sent.at(i))
            continue;
        if (i < ProfilePoints)
            check.points.append(i);
        else
            check.nameDiffers = true;
    }
    return check;
}

ValueRange valueRangeFor(quint8 hardware)
{
    if (hardware <= 10)
        return ValueRange{-10.0f, 25.0f, 5, 10};
    return ValueRange{-20.0f, 50.0f, 10, 5};
}

QVector<double> profileKeys(double maxRpm)
{
    QVector<double> keys(ProfilePoints);
    for (int i = 0; i < ProfilePoints; ++i)
        keys[i] = i * maxRpm / 40.0;
    return keys;
}

bool writeProfileFile(const QString &path, const QVector<double> &values, int k, QString *error)
{
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        QDataStream out(&file);
        writeProfile(out, values, k);
        written = out.status() == QDataStream::Ok && file.commit();
    }
    if (!written && error)
        *error = file.errorString();
    return written;
}
