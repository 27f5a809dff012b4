// The paste parser behind the table's Ctrl+V: any clipboard text. Input: one
// byte for the point the paste starts at, then the text (UTF-8).
// A paste either changes exactly the values it names or nothing: what it
// takes are whole numbers within the range, no more than the points left,
// one per cell of the text; a refusal names a cell and takes nothing.
#include "fuzzcheck.h"

#include "profile/profilecodec.h"
#include "profile/profiletable.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int first = data[0] % ProfilePoints;
    const int pointsLeft = ProfilePoints - first;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1),
                                           static_cast<int>(size - 1));
    const double min = -10, max = 25;
    const PasteResult r = parsePastedValues(text, min, max, pointsLeft);
    if (!r.ok) {
        FUZZ_CHECK(r.values.isEmpty() || !r.error.isEmpty());
        FUZZ_CHECK(!r.error.isEmpty());
        FUZZ_CHECK(r.row >= 0 && r.column >= 0);
        return 0;
    }
    FUZZ_CHECK(!r.values.isEmpty() && r.values.size() <= pointsLeft);
    FUZZ_CHECK(r.error.isEmpty());
    for (double v : r.values)
        FUZZ_CHECK(v == double(qint64(v)) && v >= min && v <= max);

    // One value per cell: the text's cells, with one final line end allowed.
    QString all = text;
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'),
                                                                       QLatin1Char('\n'));
    if (all.endsWith(QLatin1Char('\n')))
        all.chop(1);
    int cells = 0;
    for (const QString &line : all.split(QLatin1Char('\n')))
        cells += line.split(QLatin1Char('\t')).size();
    FUZZ_CHECK(cells == r.values.size());

    // Applied as the table applies it: exactly the points named change.
    QVector<double> before(ProfilePoints);
    for (int i = 0; i < ProfilePoints; ++i)
        before[i] = 100 + i; // out of range: no value pasted can equal it
    QVector<double> after = before;
    for (int i = 0; i < r.values.size(); ++i)
        after[first + i] = r.values.at(i);
    for (int i = 0; i < ProfilePoints; ++i)
        FUZZ_CHECK((after[i] != before[i]) == (i >= first && i < first + r.values.size()));
    return 0;
}
