// The profile document on its own: files in and out, the saved state after
// loads, saves, reads and writes, reads that fail, and the lock that keeps
// the user's hands off the profile while the ECU is read or written.
#include "profile/profiledocument.h"
#include "profile/profilefolder.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using Values = QVector<double>;
Q_DECLARE_METATYPE(Values)

namespace {

Values flat(double v)
{
    return Values(ProfilePoints, v);
}

// 41 values -20 .. 20, then K, as a profile file holds them.
QByteArray profileBytes(int k)
{
    QByteArray bytes;
    for (int i = 0; i < ProfilePoints; ++i)
        bytes.append(static_cast<char>(i - 20));
    return bytes + char(k);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestProfileDocument : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void loadAndSave_data();
    void loadAndSave();
    void writeMarksTheImageSaved_data();
    void writeMarksTheImageSaved();
    void failedCheckStaysModified_data();
    void failedCheckStaysModified();
    void readsTakeAndPutBack();
    void lockRefusesUserChanges_data();
    void lockRefusesUserChanges();

private:
    QTemporaryDir dir;
};

void TestProfileDocument::initTestCase()
{
    QVERIFY(dir.isValid());
    setProfileFolderOverride(dir.path());
}

void TestProfileDocument::loadAndSave_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<int>("k");              // K shown; 0: refused
    QTest::addColumn<QString>("errorPart");

    QTest::newRow("42 bytes") << profileBytes(3) << 3 << QString();
    QTest::newRow("K 9 shows 4, as the spin box") << profileBytes(9) << 4 << QString();
    QTest::newRow("41 bytes refused, size named") << profileBytes(3).left(41) << 0
                                                  << "lungo 41 byte";
    QTest::newRow("missing file: the reason") << QByteArray() << 0 << "Impossibile aprire";
}

void TestProfileDocument::loadAndSave()
{
    QFETCH(QByteArray, content);
    QFETCH(int, k);
    QFETCH(QString, errorPart);
    const QString path = dir.filePath(QStringLiteral("%1.prf").arg(QTest::currentDataTag()));
    if (!content.isEmpty())
        QVERIFY(writeFile(path, content));

    CProfileDocument doc;
    doc.setFlat(2);
    QCOMPARE(doc.flashImage(20).mid(41), QByteArray(40, '\0')); // no file: no name
    QSignalSpy kChanged(&doc, &CProfileDocument::kChanged);
    QString error;
    QCOMPARE(doc.load(path, &error), k != 0);
    QCOMPARE(kChanged.count(), k ? 1 : 0);
    if (!k) {
        QVERIFY2(error.contains(errorPart) && error.contains(QDir::toNativeSeparators(path)),
                 qPrintable(error));
        QCOMPARE(doc.model()->values(), flat(2));
        QVERIFY(!doc.fileShown());
        QCOMPARE(doc.model()->undoStack()->count(), 1);
        return;
    }
    QCOMPARE(doc.model()->value(40), 20.0);
    QCOMPARE(doc.k(), k);
    QCOMPARE(doc.filePath(), path);
    QVERIFY(!doc.isModified());
    QCOMPARE(doc.flashImage(20).mid(41), profileNameBytes(path));

    // Saved again, edited: the values and the K shown. A save that cannot
    // be written changes nothing.
    doc.model()->select(0);
    doc.model()->setRange(7);
    QVERIFY(!doc.save(dir.filePath(QStringLiteral("missing/x.prf")), &error));
    QVERIFY(error.contains(QStringLiteral("missing")));
    QVERIFY(doc.isModified());
    const QString copy = path + QStringLiteral(".copy");
    QVERIFY2(doc.save(copy, &error), qPrintable(error));
    QCOMPARE(readFile(copy), char(7) + content.mid(1, 40) + char(k));
    QCOMPARE(doc.filePath(), copy);
    QVERIFY(!doc.isModified());

    // The load was one step: back to the flat map.
    doc.undo();
    doc.undo();
    QCOMPARE(doc.model()->values(), flat(2));
}

void TestProfileDocument::writeMarksTheImageSaved_data()
{
    QTest::addColumn<bool>("locked");
    QTest::newRow("locked: edit and undo refused") << true;
    QTest::newRow("unlocked: an edit after the image") << false;
}

// What was written is saved, not what the screen shows when the write ends.
void TestProfileDocument::writeMarksTheImageSaved()
{
    QFETCH(bool, locked);
    CProfileDocument doc;
    doc.setFlat(5);
    QVERIFY(doc.isModified());
    const QByteArray image = doc.flashImage(10);

    doc.setLocked(locked);
    QCOMPARE(doc.setFlat(6), !locked);
    if (locked)
        QVERIFY(!doc.undo());
    QCOMPARE(doc.model()->values(), flat(locked ? 5 : 6));
    doc.writeDone(image, 10);
    doc.setLocked(false);
    QCOMPARE(doc.isModified(), !locked);

    // Back to the image written: unmodified; one more step: modified.
    if (!locked)
        QVERIFY(doc.undo());
    QVERIFY(!doc.isModified());
    QVERIFY(doc.undo());
    QVERIFY(doc.isModified());
}

void TestProfileDocument::failedCheckStaysModified_data()
{
    QTest::addColumn<QString>("clearedBy");
    for (const char *by : {"save", "write", "load", "read"})
        QTest::newRow(by) << by;
}

void TestProfileDocument::failedCheckStaysModified()
{
    QFETCH(QString, clearedBy);
    const QString file = dir.filePath(QStringLiteral("checked-%1.prf").arg(clearedBy));
    CProfileDocument doc;
    doc.setFlat(4);
    QString error;
    QVERIFY(doc.save(file, &error));
    QVERIFY(!doc.isModified());
    QSignalSpy modified(&doc, &CProfileDocument::modifiedChanged);

    // The ECU acknowledged every byte but holds something else.
    const QByteArray image = doc.flashImage(10);
    doc.setLocked(true);
    doc.writeCheckFailed();
    doc.setLocked(false);
    QVERIFY(doc.isModified());
    QCOMPARE(modified.count(), 1);

    if (clearedBy == "save") {
        QVERIFY(doc.save(file, &error));
    } else if (clearedBy == "write") {
        doc.writeDone(image, 10);
    } else if (clearedBy == "load") {
        QVERIFY(doc.load(file, &error));
    } else {
        doc.beginRead();
        doc.finishRead(image, CDevInfo(), QDateTime::currentDateTime());
    }
    QVERIFY(!doc.isModified());
    QCOMPARE(modified.count(), 2);
}

void TestProfileDocument::readsTakeAndPutBack()
{
    const QString file = dir.filePath(QStringLiteral("before-read.prf"));
    QVERIFY(writeFile(file, profileBytes(2)));
    CProfileDocument doc;
    QString error;
    QVERIFY(doc.load(file, &error));
    doc.model()->select(3);
    doc.model()->setRange(9);
    const Values edited = doc.model()->values();
    const int steps = doc.model()->undoStack()->count();

    // The session locks the document for the read; the read's steps apply.
    doc.setLocked(true);
    doc.beginRead();
    QCOMPARE(doc.model()->values(), flat(0));
    QVERIFY(!doc.fileShown());
    doc.failRead();
    QCOMPARE(doc.model()->values(), edited);
    QCOMPARE(doc.filePath(), file);
    QVERIFY(doc.isModified());
    QCOMPARE(doc.model()->undoStack()->count(), steps); // no step left behind

    // A large-table image: values, the name "gara.prf", K 3.
    QByteArray image(90, '\0');
    for (int i = 0; i < ProfilePoints; ++i)
        image[i] = static_cast<char>(10 - i);
    image.replace(41, 8, "gara.prf");
    image[82] = 3;
    doc.beginRead();
    const CDevInfo info{21, 4, '2', '0', '3'};
    const QDateTime when(QDate(2026, 12, 7), QTime(10, 51, 33));
    const FlashImage read = doc.finishRead(image, info, when);
    QCOMPARE(read.name, QStringLiteral("gara.prf"));
    QCOMPARE(doc.model()->values(), read.values);
    QCOMPARE(doc.model()->reference(), read.values);
    QCOMPARE(doc.k(), 3);
    QVERIFY(!doc.isModified());
    // Where it came from is kept as data: the ECU and the time.
    QVERIFY(sameEcu(doc.profileReadFrom(), info));
    QCOMPARE(doc.profileReadAt(), when.time());
    doc.setLocked(false);
    QVERIFY(doc.undo()); // the whole read is one step
    QCOMPARE(doc.model()->values(), edited);
}

void TestProfileDocument::lockRefusesUserChanges_data()
{
    // Drags, range operations and undo are refused by the model itself.
    QTest::addColumn<QString>("op");
    for (const char *op : {"redo", "flat", "reset", "load", "reference"})
        QTest::newRow(op) << op;
}

void TestProfileDocument::lockRefusesUserChanges()
{
    QFETCH(QString, op);
    const QString file = dir.filePath(QStringLiteral("other.prf"));
    QVERIFY(writeFile(file, profileBytes(1)));
    const QString shown = dir.filePath(QStringLiteral("shown.prf"));

    // Flat 3, with a step to undo and one to redo, saved to a file.
    CProfileDocument doc;
    doc.setFlat(3);
    doc.setFlat(5);
    doc.undo();
    QString error;
    QVERIFY(doc.save(shown, &error));

    auto state = [&doc]() {
        const CProfileModel *m = doc.model();
        return std::make_tuple(m->values(), m->undoStack()->index(), m->reference(),
                               doc.filePath());
    };
    auto run = [&]() {
        error.clear();
        if (op == "redo")
            return doc.redo();
        if (op == "flat")
            return doc.setFlat(8);
        if (op == "reset")
            return doc.resetProfile();
        if (op == "load")
            return doc.load(file, &error);
        return doc.setReferenceFromFile(file, &error);
    };

    const auto before = state();
    doc.setLocked(true);
    QVERIFY(!run());
    QCOMPARE(state(), before);
    QVERIFY(error.isEmpty() != (op == "load" || op == "reference"));

    // Unlocked, the same change goes through.
    doc.setLocked(false);
    QVERIFY(run());
    QVERIFY(state() != before);
}

QTEST_MAIN(TestProfileDocument)
#include "tst_profiledocument.moc"
