#include "cli/profilecommands.h"

#include "cli/cli.h"
#include "cli/clioutput.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QSaveFile>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

int rpmAt(int point, int cylinders)
{
    return qRound(point * maxRpmForCylinders(cylinders) / (ProfilePoints - 1));
}

QString signedNumber(int n)
{
    return n > 0 ? QStringLiteral("+%1").arg(n) : QString::number(n);
}

QString variantText(int cylinders)
{
    return CCli::tr("centralina a %1 cilindri, da 0 a %2 giri/min")
        .arg(cylinders)
        .arg(maxRpmForCylinders(cylinders), 0, 'f', 0);
}

} // namespace

bool readProfileForCli(const QString &path, ProfileData *data, CCliOutput &out, int *exitCode)
{
    ProfileFileFault fault;
    if (readProfileFile(path, data, &fault))
        return true;
    QString message;
    switch (fault.kind) {
    case ProfileFileFault::Open:
        message = CCli::tr("impossibile aprire il file %1: %2").arg(shown(path), fault.reason);
        break;
    case ProfileFileFault::TooShort:
        message = CCli::tr("il file %1 è lungo %2 byte, un profilo ne ha %3")
                      .arg(shown(path))
                      .arg(fault.size)
                      .arg(ProfileFileBytes);
        break;
    case ProfileFileFault::Read:
    case ProfileFileFault::None:
        message = CCli::tr("impossibile leggere il file %1: %2").arg(shown(path), fault.reason);
        break;
    }
    *exitCode = out.fail(CliExit::FileError, message);
    return false;
}

bool checkWritable(const QString &path, CCliOutput &out, int *exitCode)
{
    QString reason;
    if (QFileInfo(path).isDir()) {
        reason = CCli::tr("è una cartella");
    } else {
        // A save file opens a scratch file beside the target and checks an
        // existing target; cancelled, it leaves nothing behind.
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.cancelWriting();
        else
            reason = file.errorString();
    }
    if (reason.isEmpty())
        return true;
    *exitCode = out.fail(CliExit::FileError,
                         CCli::tr("impossibile scrivere il file %1: %2").arg(shown(path), reason));
    return false;
}

int runShow(const QString &path, int cylinders, CCliOutput &out)
{
    ProfileData data;
    int code = CliExit::Done;
    if (!readProfileForCli(path, &data, out, &code))
        return code;

    const QStringList headers{CCli::tr("Punto"), CCli::tr("Giri/min"), CCli::tr("Valore")};
    out.line(CCli::tr("Mappa %1 (%2)").arg(shown(path), variantText(cylinders)));
    out.line(QStringLiteral("K: %1").arg(data.k));
    out.line(QString());
    out.line(tableRow(headers, headers));
    QJsonArray points;
    for (int i = 0; i < ProfilePoints; ++i) {
        const int value = qRound(data.values.at(i));
        out.line(tableRow(headers, {QString::number(i), QString::number(rpmAt(i, cylinders)),
                                    QString::number(value)}));
        points.append(QJsonObject{{QStringLiteral("point"), i},
                                  {QStringLiteral("rpm"), rpmAt(i, cylinders)},
                                  {QStringLiteral("value"), value}});
    }
    out.set(QStringLiteral("file"), path);
    out.set(QStringLiteral("cylinders"), cylinders);
    out.set(QStringLiteral("max_rpm"), rpmAt(ProfilePoints - 1, cylinders));
    out.set(QStringLiteral("k"), data.k);
    out.set(QStringLiteral("points"), points);
    return CliExit::Done;
}

int runDiff(const QString &pathA, const QString &pathB, int cylinders, CCliOutput &out)
{
    ProfileData a;
    ProfileData b;
    int code = CliExit::Done;
    if (!readProfileForCli(pathA, &a, out, &code) || !readProfileForCli(pathB, &b, out, &code))
        return code;

    QJsonArray points;
    QVector<int> differing;
    for (int i = 0; i < ProfilePoints; ++i) {
        const int va = qRound(a.values.at(i));
        const int vb = qRound(b.values.at(i));
        if (va == vb)
            continue;
        differing.append(i);
        points.append(QJsonObject{{QStringLiteral("point"), i},
                                  {QStringLiteral("rpm"), rpmAt(i, cylinders)},
                                  {QStringLiteral("a"), va},
                                  {QStringLiteral("b"), vb},
                                  {QStringLiteral("difference"), vb - va}});
    }
    const bool kDiffers = a.k != b.k;
    const bool same = differing.isEmpty() && !kDiffers;

    out.set(QStringLiteral("a"), pathA);
    out.set(QStringLiteral("b"), pathB);
    out.set(QStringLiteral("cylinders"), cylinders);
    out.set(QStringLiteral("max_rpm"), rpmAt(ProfilePoints - 1, cylinders));
    out.set(QStringLiteral("identical"), same);
    out.set(QStringLiteral("points"), points);
    out.set(QStringLiteral("k"), QJsonObject{{QStringLiteral("a"), a.k},
                                             {QStringLiteral("b"), b.k},
                                             {QStringLiteral("differs"), kDiffers}});

    if (same) {
        out.line(CCli::tr("Le mappe %1 e %2 sono uguali (41 punti e K).")
                     .arg(shown(pathA), shown(pathB)));
        return CliExit::Done;
    }
    out.line(QStringLiteral("A: %1").arg(shown(pathA)));
    out.line(QStringLiteral("B: %1").arg(shown(pathB)));
    out.line(CCli::tr("%n punti diversi su 41 (%1)", nullptr, differing.size())
                 .arg(variantText(cylinders)));
    if (!differing.isEmpty()) {
        out.line(QString());
        const QStringList headers{CCli::tr("Punto"), CCli::tr("Giri/min"), QStringLiteral("A"),
                                  QStringLiteral("B"), CCli::tr("Differenza")};
        out.line(tableRow(headers, headers));
        for (int i : qAsConst(differing)) {
            const int va = qRound(a.values.at(i));
            const int vb = qRound(b.values.at(i));
            out.line(tableRow(headers, {QString::number(i), QString::number(rpmAt(i, cylinders)),
                                        QString::number(va), QString::number(vb),
                                        signedNumber(vb - va)}));
        }
    }
    if (kDiffers) {
        out.line(QString());
        out.line(CCli::tr("K: %1 in A, %2 in B").arg(a.k).arg(b.k));
    }
    return CliExit::DifferentValues;
}
