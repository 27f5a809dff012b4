#include "comm/datalog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstring>

const char kDataLogHeader[] = "time_ms,rpm,cell_index,cell_value,probe_adc,k,test_bench\n";

namespace {

enum Field { TimeMs, Rpm, CellIndex, CellValue, ProbeAdc, K, TestBench, FieldCount };

const char *const kFieldNames[FieldCount] = {
    "time_ms", "rpm", "cell_index", "cell_value", "probe_adc", "k", "test_bench"
};

struct Range
{
    qint64 min;
    qint64 max;
};

// About 31,000 years: any time a recording can reach, and far from overflow.
constexpr qint64 kMaxTimeMs = Q_INT64_C(999999999999999);

const Range kRanges[FieldCount] = {
    { 0, kMaxTimeMs }, { 0, 65535 }, { 0, 40 }, { -128, 127 }, { 0, 255 }, { 1, 4 }, { 0, 1 }
};

// A file this large is no datalog (a day of recording is about 150 MB).
constexpr qint64 kMaxFileBytes = Q_INT64_C(1) << 30;

bool inRange(Field f, qint64 v)
{
    return v >= kRanges[f].min && v <= kRanges[f].max;
}

char *writeNumber(char *p, qint64 v)
{
    quint64 magnitude = v < 0 ? 0 - quint64(v) : quint64(v);
    if (v < 0)
        *p++ = '-';
    char digits[20];
    int n = 0;
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (n > 0)
        *p++ = digits[--n];
    return p;
}

enum class Number { Ok, NotNumber, TooLong };

// [b, e) as a whole number: an optional '-' and at least one digit, nothing
// else (no blanks, no '+', no decimals). More than 15 digits cannot be in
// range of any field.
Number parseNumber(const char *b, const char *e, qint64 *value)
{
    const bool negative = b < e && *b == '-';
    if (negative)
        ++b;
    if (b == e)
        return Number::NotNumber;
    qint64 v = 0;
    int digits = 0;
    for (; b < e; ++b) {
        if (*b < '0' || *b > '9')
            return Number::NotNumber;
        if (v != 0 || *b != '0')
            ++digits;
        v = v * 10 + (*b - '0');
        if (digits > 15) {
            // The rest must still be digits for this to count as a number.
            for (++b; b < e; ++b)
                if (*b < '0' || *b > '9')
                    return Number::NotNumber;
            return Number::TooLong;
        }
    }
    *value = negative ? -v : v;
    return Number::Ok;
}

// One data row [b, e) (line end excluded) into values. Returns an empty text
// when it parsed, else the fault, naming the line.
QString parseRow(const char *b, const char *e, int line, qint64 lastTime, qint64 values[FieldCount])
{
    const char *fieldBegin[FieldCount];
    const char *fieldEnd[FieldCount];
    int count = 0;
    const char *f = b;
    for (const char *p = b;; ++p) {
        if (p == e || *p == ',') {
            if (count < FieldCount) {
                fieldBegin[count] = f;
                fieldEnd[count] = p;
            }
            ++count;
            f = p + 1;
            if (p == e)
                break;
        }
    }
    if (count != FieldCount)
        return QCoreApplication::translate("CDataLog", "Riga %1: %2 campi invece di %3.")
            .arg(line)
            .arg(count)
            .arg(int(FieldCount));

    for (int i = 0; i < FieldCount; ++i) {
        const Number n = parseNumber(fieldBegin[i], fieldEnd[i], &values[i]);
        if (n == Number::Ok && inRange(Field(i), values[i]))
            continue;
        const QString text = QString::fromUtf8(fieldBegin[i], int(fieldEnd[i] - fieldBegin[i]));
        if (n == Number::NotNumber)
            return QCoreApplication::translate(
                       "CDataLog", "Riga %1: il campo %2 (\"%3\") non è un numero intero.")
                .arg(line)
                .arg(QLatin1String(kFieldNames[i]), text);
        // One call fills every place: the file's text may itself hold "%4".
        return QCoreApplication::translate(
                   "CDataLog", "Riga %1: il campo %2 vale %3, fuori dall'intervallo da %4 a %5.")
            .arg(QString::number(line), QLatin1String(kFieldNames[i]), text,
                 QString::number(kRanges[i].min), QString::number(kRanges[i].max));
    }
    if (values[TimeMs] < lastTime)
        return QCoreApplication::translate("CDataLog",
                                           "Riga %1: il tempo torna indietro (%2 ms dopo %3 ms).")
            .arg(line)
            .arg(values[TimeMs])
            .arg(lastTime);
    return QString();
}

} // namespace

QString dataLogFolder(const QString &profileFolder)
{
    return QDir(profileFolder).absoluteFilePath(QStringLiteral("log"));
}

bool isDataLogRowValid(qint64 timeMs, const CLiveSample &sample, int k)
{
    return inRange(TimeMs, timeMs) && inRange(Rpm, sample.rpm)
        && inRange(CellIndex, sample.cellIndex) && inRange(CellValue, sample.cellValue)
        && inRange(ProbeAdc, sample.adc) && inRange(K, k);
}

void appendDataLogRow(QByteArray *out, qint64 timeMs, const CLiveSample &sample, int k, bool bench)
{
    // Seven numbers of at most 20 characters, their commas and the line end.
    char row[FieldCount * 21 + 1];
    char *p = row;
    p = writeNumber(p, timeMs);
    *p++ = ',';
    p = writeNumber(p, sample.rpm);
    *p++ = ',';
    p = writeNumber(p, sample.cellIndex);
    *p++ = ',';
    p = writeNumber(p, sample.cellValue);
    *p++ = ',';
    p = writeNumber(p, sample.adc);
    *p++ = ',';
    p = writeNumber(p, k);
    *p++ = ',';
    *p++ = bench ? '1' : '0';
    *p++ = '\n';
    out->append(row, int(p - row));
}

bool parseDataLog(const QByteArray &data, CDataLog *log, QString *error)
{
    const char *p = data.constData();
    const char *const end = p + data.size();
    // A byte-order mark, as some spreadsheets write one.
    if (data.startsWith("\xEF\xBB\xBF"))
        p += 3;

    const auto lineEnd = [end](const char *from) {
        const void *nl = std::memchr(from, '\n', size_t(end - from));
        return nl ? static_cast<const char *>(nl) : end;
    };
    // The line [b, e) without a carriage return before its line feed.
    const auto trimmed = [](const char *b, const char *e) {
        return e > b && e[-1] == '\r' ? e - 1 : e;
    };

    // A file with nothing in it (an empty file, blank lines) is said to be
    // empty rather than to lack its header.
    const auto blank = [](char c) { return c == '\n' || c == '\r' || c == ' ' || c == '\t'; };
    if (std::all_of(p, end, blank)) {
        *error = QCoreApplication::translate("CDataLog", "Il file è vuoto.");
        return false;
    }

    const int headerLength = int(sizeof(kDataLogHeader)) - 2; // without '\n' and NUL
    const char *e = lineEnd(p);
    const char *t = trimmed(p, e);
    if (t - p != headerLength || std::memcmp(p, kDataLogHeader, size_t(headerLength)) != 0) {
        *error = QCoreApplication::translate("CDataLog",
                                             "Riga %1: l'intestazione deve essere \"%2\".")
                     .arg(1)
                     .arg(QLatin1String(kDataLogHeader, headerLength));
        return false;
    }

    CDataLog out;
    const int rows = int(std::count(p, end, '\n'));
    out.samples.reserve(rows);
    out.k.reserve(rows);
    out.bench.reserve(rows);

    qint64 lastTime = 0;
    int line = 1;
    for (p = e; p < end;) {
        ++p; // past the line feed
        ++line;
        e = lineEnd(p);
        t = trimmed(p, e);
        const char *const begin = p;
        p = e;
        if (t == begin)
            continue; // a blank line carries nothing
        qint64 v[FieldCount];
        const QString fault = parseRow(begin, t, line, lastTime, v);
        if (!fault.isEmpty()) {
            // The writer flushes at least once a second and a row ends with
            // its line feed: a last line without one that does not parse was
            // cut short by a crash during the write, and is dropped.
            if (e == end)
                break;
            *error = fault;
            return false;
        }
        CLiveSample s;
        s.ms = v[TimeMs];
        s.rpm = int(v[Rpm]);
        s.cellIndex = int(v[CellIndex]);
        s.cellValue = int(v[CellValue]);
        s.adc = int(v[ProbeAdc]);
        out.samples.append(s);
        out.k.append(qint8(v[K]));
        out.bench.append(v[TestBench] != 0);
        lastTime = s.ms;
    }
    *log = std::move(out);
    return true;
}

bool readDataLog(const QString &path, CDataLog *log, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QCoreApplication::translate("CDataLog", "Impossibile leggere il file %1: %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    if (file.size() > kMaxFileBytes) {
        *error = QCoreApplication::translate("CDataLog",
                                             "Il file %1 è troppo grande per essere un log.")
                     .arg(QDir::toNativeSeparators(path));
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QCoreApplication::translate("CDataLog", "Impossibile leggere il file %1: %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return parseDataLog(data, log, error);
}
