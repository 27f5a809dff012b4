#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

class QDataStream;

constexpr int ProfilePoints = 41;
// A profile file holds 41 values and K; a shorter file is not a profile.
constexpr int ProfileFileBytes = 42;

// Value to byte: truncated toward zero to a 16-bit integer, low 8 bits kept
// as a signed byte.
qint8 valueToByte(double value);

// A profile as stored in a *.prf file: 41 values, then K; one qint8 each.
struct ProfileData
{
    QVector<double> values; // always 41
    int k = 0;
};

void writeProfile(QDataStream &out, const QVector<double> &values, int k);
// Writes a profile file through a save file: one that fails part-way leaves
// the old file as it was. False, with the reason in *error, on a failure.
bool writeProfileFile(const QString &path, const QVector<double> &values, int k, QString *error);
// Items past the end of the data read as 0; bytes after the 42nd are ignored.
ProfileData readProfile(QDataStream &in);

// Why a profile file could not be read: it cannot be opened, it is shorter
// than a profile (an interrupted copy or an empty file would read as zeros
// and could then be written into the ECU), or reading it failed.
struct ProfileFileFault
{
    enum Kind { None, Open, TooShort, Read };
    Kind kind = None;
    qint64 size = 0; // the file's size, for TooShort
    QString reason;  // the system's reason, for Open and Read
};

// Reads a whole profile file: false, with the fault in *fault, when it
// cannot be opened or read or holds fewer than 42 bytes. Bytes past the 42nd
// are left alone (other tools may append more).
bool readProfileFile(const QString &path, ProfileData *data, ProfileFileFault *fault);

// The name a profile is saved under: ".prf" added when the name does not
// end with it, so that the open dialog lists the file.
QString withProfileSuffix(const QString &name);

// The name stored in a large-table flash image: the text after the last "/",
// one Latin-1 byte per character (0 outside Latin-1), cut or zero-filled to 40.
QByteArray profileNameBytes(const QString &path);

// The image a flash write sends: 41 values (small table), plus the 40 name
// bytes for hardware 20 and more (81 bytes).
QByteArray buildFlashImageBytes(const QVector<double> &values, quint8 hardware,
                                const QString &pathText);

// What a flash read brings back; positions the image does not hold read 0.
struct FlashImage
{
    QVector<double> values; // 41 points
    bool hasName = false;   // large table only
    QString name;           // printable Latin-1 characters of bytes 41..79
    int k = 0;
    bool benchOn = false;
};

FlashImage parseFlashImage(const QByteArray &image, quint8 hardware);

// A written image compared with what the ECU gives back when it is read
// again: the points whose byte differs, and whether the name (bytes 41 to
// 79, large table; byte 80 is not read back as part of it) differs. A byte
// the read-back lacks counts as different.
struct WriteCheck
{
    QVector<int> points;
    bool nameDiffers = false;
    bool ok() const { return points.isEmpty() && !nameDiffers; }
};

WriteCheck checkWrittenImage(const QByteArray &sent, const QByteArray &readBack);


// The value range and editing steps chosen by the ECU's hardware version.
struct ValueRange
{
    float valueMin;
    float valueMax;
    int valueAxisStep;
    int keyStepPixels;
};

ValueRange valueRangeFor(quint8 hardware);

// x of point i: i * maxRpm / 40.
QVector<double> profileKeys(double maxRpm);
