#include "profile/profiledocument.h"

#include <QDir>
#include <QFileInfo>

CProfileDocument::CProfileDocument(QObject *parent)
    : QObject(parent)
{
    connect(&m_model, &CProfileModel::modifiedChanged, this, &CProfileDocument::modifiedChanged);
    connect(&m_model, &CProfileModel::lockedChanged, this, &CProfileDocument::lockedChanged);
}

QString CProfileDocument::sourceText(const Source &source)
{
    if (!source.file.isEmpty())
        return source.file;
    if (source.readAt.isValid())
        return tr("ECU, letta alle %1").arg(source.readAt.toString(QStringLiteral("HH:mm")));
    return QString();
}

void CProfileDocument::setSources(const Source &profile, const Source &reference)
{
    if (profile == m_profileSource && reference == m_referenceSource)
        return;
    m_profileSource = profile;
    m_referenceSource = reference;
    emit sourcesChanged();
}

// The profile shown comes from this file now (or, with no file, from
// nothing known).
void CProfileDocument::setPath(const QString &path)
{
    setSources(Source{QFileInfo(path).fileName(), QTime(), CDevInfo()}, m_referenceSource);
    if (path == m_path)
        return;
    m_path = path;
    emit fileChanged();
}

void CProfileDocument::setEcuHardware(quint8 hardware)
{
    m_range = valueRangeFor(hardware);
}

void CProfileDocument::applyVariant(bool fourCylinders)
{
    m_maxRpm = fourCylinders ? 17000.0 : 12000.0;
    m_model.setLimits(m_range.valueMin, m_range.valueMax);
    emit variantApplied();
}

void CProfileDocument::showPlaceholder()
{
    setPath(QString());
}

void CProfileDocument::setK(int k)
{
    m_model.setK(qBound(KMin, k, KMax));
}

// K from a file or the ECU: limited as the spin box limits it, and told to
// the window so that the spin box (and through it the ECU) follows.
void CProfileDocument::takeK(int k)
{
    setK(k);
    emit kChanged(m_model.k());
}

bool CProfileDocument::setFlat(int value)
{
    const double v = m_model.clampWhole(value);
    if (!m_model.replaceValues(QVector<double>(ProfilePoints, v)))
        return false;
    showPlaceholder();
    return true;
}

bool CProfileDocument::resetProfile()
{
    if (!m_model.replaceValues(QVector<double>(ProfilePoints, 0.0)))
        return false;
    showPlaceholder();
    return true;
}

QString CProfileDocument::lockedMessage()
{
    return tr("La mappa non si può cambiare mentre ECU Vantor è in lettura o scrittura.");
}

bool CProfileDocument::refusedWhileLocked(QString *error) const
{
    if (!m_model.isLocked())
        return false;
    if (error)
        *error = lockedMessage();
    return true;
}

// A profile file, whole (see readProfileFile), with the reason it was
// refused in the user's words.
bool CProfileDocument::readFile(const QString &path, ProfileData *data, QString *error) const
{
    ProfileFileFault fault;
    if (readProfileFile(path, data, &fault))
        return true;
    if (!error)
        return false;
    const QString shown = QDir::toNativeSeparators(path);
    switch (fault.kind) {
    case ProfileFileFault::Open:
        *error = tr("Impossibile aprire il file %1: %2").arg(shown, fault.reason);
        break;
    case ProfileFileFault::TooShort:
        *error = tr("Il file %1 è lungo %2 byte, un profilo ne ha %3: "
                    "il file non è stato caricato.")
                     .arg(shown)
                     .arg(fault.size)
                     .arg(ProfileFileBytes);
        break;
    case ProfileFileFault::Read:
    case ProfileFileFault::None:
        *error = tr("Impossibile leggere il file %1: %2").arg(shown, fault.reason);
        break;
    }
    return false;
}

bool CProfileDocument::load(const QString &path, QString *error)
{
    ProfileData data;
    if (refusedWhileLocked(error) || !readFile(path, &data, error))
        return false;
    m_model.replaceValues(data.values);
    takeK(data.k);
    m_model.markSaved();
    setPath(path);
    return true;
}

bool CProfileDocument::save(const QString &path, QString *error)
{
    QString reason;
    if (!writeProfileFile(path, m_model.values(), m_model.k(), &reason)) {
        if (error)
            *error = tr("Impossibile scrivere il file %1: %2")
                         .arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    m_model.markSaved();
    setPath(path);
    return true;
}

bool CProfileDocument::setReferenceFromFile(const QString &path, QString *error)
{
    ProfileData data;
    if (refusedWhileLocked(error) || !readFile(path, &data, error))
        return false;
    m_model.setReference(data.values);
    setSources(m_profileSource, Source{QFileInfo(path).fileName(), QTime(), CDevInfo()});
    return true;
}

void CProfileDocument::beginRead()
{
    m_beforeRead = {m_model.values(), m_path, m_profileSource, true};
    showPlaceholder();
    m_model.replaceValues(QVector<double>(ProfilePoints, 0.0), CProfileModel::Step::ReadStart);
}

FlashImage CProfileDocument::finishRead(const QByteArray &image, const CDevInfo &ecu,
                                        const QDateTime &when)
{
    const FlashImage read = parseFlashImage(image, ecu.hardware);
    m_beforeRead.held = false;
    m_model.replaceValues(read.values, CProfileModel::Step::ReadEnd);
    m_model.setReference(read.values);
    const Source source{QString(), when.time(), ecu};
    setSources(source, source);
    takeK(read.k);
    m_model.markSaved();
    return read;
}

void CProfileDocument::failRead()
{
    if (!m_beforeRead.held)
        return;
    m_beforeRead.held = false;
    // Merged with the clearing at the start: a failed read leaves no step.
    m_model.replaceValues(m_beforeRead.values, CProfileModel::Step::ReadEnd);
    setPath(m_beforeRead.path);
    setSources(m_beforeRead.source, m_referenceSource);
}

QByteArray CProfileDocument::flashImage(quint8 hardware) const
{
    return buildFlashImageBytes(m_model.values(), hardware, m_path);
}

void CProfileDocument::writeDone(const QByteArray &image, quint8 hardware)
{
    // K is not in the image: it goes to the ECU on its own whenever it
    // changes, so the ECU holds the K shown.
    m_model.markSaved(parseFlashImage(image, hardware).values, m_model.k());
}
