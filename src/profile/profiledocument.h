#pragma once

#include "comm/cdevinfo.h"
#include "profile/sequencesides.h"
#include "profile/profilecodec.h"
#include "profile/profilemodel.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

// The profile being worked on, as a document: the model (values, K,
// selection, undo history, reference, saved state), the file it was last
// loaded from or saved to, and the steps of reads and writes that concern
// it. It asks nothing and shows nothing: failures come back as text for the
// window to show.
//
// While the ECU is read, written or checked the document is locked: every
// change by the user is refused (the model's own lock), while the read's own
// steps go through.
//
// It owns the profile's ranges: the engine-speed scale of the variant and
// the value range of the ECU's hardware, which every view draws with.
class CProfileDocument : public QObject, public CProfileSide
{
    Q_OBJECT
public:
    static constexpr int KMin = 1; // K as the spin box allows it
    static constexpr int KMax = 4;

    explicit CProfileDocument(QObject *parent = nullptr);

    CProfileModel *model() { return &m_model; }
    const CProfileModel *model() const { return &m_model; }

    // The file loaded or saved last; empty when none is shown (after a flat
    // map, a variant change, the start of a read).
    QString filePath() const { return m_path; }
    bool fileShown() const override { return !m_path.isEmpty(); }
    void showPlaceholder();

    // Where the profile shown and the reference come from, for the user: a
    // file's name, "ECU, letta alle HH:mm" after a read, empty when unknown
    // (a flat map, a variant reset, no reference). Built in the language in
    // use when asked.
    QString profileSource() const { return sourceText(m_profileSource); }
    // When the profile shown was read from the ECU, and from which ECU;
    // invalid for a file or none.
    QTime profileReadAt() const { return m_profileSource.file.isEmpty() ? m_profileSource.readAt : QTime(); }
    CDevInfo profileReadFrom() const { return m_profileSource.ecu; }

    // The engine-speed scale in use: 12000 rpm, or 17000 with 4 cylinders.
    double maxRpm() const { return m_maxRpm; }
    bool fourCylinders() const { return m_maxRpm > 12000.0; }
    // The value range the ECU's hardware calls for; it is taken into use
    // (editing limits, the plot's axis) with the next variant.
    ValueRange valueRange() const { return m_range; }
    void setEcuHardware(quint8 hardware);
    // The variant: the engine-speed scale and the value range into use.
    void applyVariant(bool fourCylinders);
    QString referenceSource() const { return sourceText(m_referenceSource); }

    // The reason every change is refused while a transfer runs.
    static QString lockedMessage();

    int k() const { return m_model.k(); }
    // K as the user sets it (the spin box); limited to KMin..KMax.
    void setK(int k);

    bool isModified() const { return m_model.isModified(); }

    void setLocked(bool locked) { m_model.setLocked(locked); }
    bool isLocked() const { return m_model.isLocked(); }

    // Whole-profile changes by the user, one undo step each, showing the
    // placeholder; false while locked.
    bool setFlat(int value);  // limited to the value range
    bool resetProfile();      // 41 zeros: the variant has changed

    // Profile files. The path is used as given. False with the reason in
    // *error; a load refused leaves everything as it was.
    bool load(const QString &path, QString *error);
    bool save(const QString &path, QString *error);
    // A profile file as the reference ("Confronta con file..."); the profile,
    // K and the file shown stay as they are.
    bool setReferenceFromFile(const QString &path, QString *error);

    // A read from the ECU. beginRead keeps the profile and the file shown
    // and clears the values; finishRead takes the image read (values, K,
    // reference; saved; both read from that ECU at the time given) and
    // returns it parsed; failRead puts back what beginRead kept.
    void beginRead() override;
    FlashImage finishRead(const QByteArray &image, const CDevInfo &ecu,
                          const QDateTime &when) override;
    void failRead() override;

    // The image a write sends: the values, and for hardware 20 and more the
    // name of the file shown (40 zero bytes when none is shown).
    QByteArray flashImage(quint8 hardware) const override;
    // The ECU holds this image now: it becomes the saved state, whatever
    // the screen shows meanwhile.
    void writeDone(const QByteArray &image, quint8 hardware) override;
    // The check after a write found other values: modified until the next
    // write, save, load or read.
    void writeCheckFailed() override { m_model.markUnsaved(); }

public slots:
    bool undo() { return m_model.undo(); }
    bool redo() { return m_model.redo(); }

signals:
    void fileChanged();
    // K set by the document itself (a load, a read), for the spin box.
    void kChanged(int k);
    void modifiedChanged(bool modified);
    void lockedChanged(bool locked);
    // profileSource() or referenceSource() changed.
    void sourcesChanged();
    // A variant was taken into use: the views draw with maxRpm() and the
    // editing limits of valueRange() now.
    void variantApplied();

private:
    // A file (by name) or a read from an ECU (by its time); neither: unknown.
    struct Source
    {
        QString file;
        QTime readAt;
        CDevInfo ecu;
        bool operator==(const Source &o) const
        {
            return file == o.file && readAt == o.readAt && sameEcu(ecu, o.ecu);
        }
    };
    static QString sourceText(const Source &source);
    void setSources(const Source &profile, const Source &reference);

    void setPath(const QString &path);
    void takeK(int k);
    bool readFile(const QString &path, ProfileData *data, QString *error) const;
    bool refusedWhileLocked(QString *error) const;

    CProfileModel m_model;
    double m_maxRpm = 12000.0;
    ValueRange m_range = valueRangeFor(10);
    QString m_path;
    Source m_profileSource;
    Source m_referenceSource;
    struct BeforeRead
    {
        QVector<double> values;
        QString path;
        Source source;
        bool held = false; // a read is under way
    } m_beforeRead;
};
