// Where the profile dialogs start: the command line's folder, else ./Profili
// when the working directory has one, else Profili in the documents folder,
// made when missing.
#include "profile/profilefolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class tst_ProfileFolder : public QObject
{
    Q_OBJECT

private slots:
    void choice_data();
    void choice();
};

void tst_ProfileFolder::choice_data()
{
    QTest::addColumn<bool>("localFolder");
    QTest::addColumn<QString>("override"); // relative to the scratch folder
    QTest::addColumn<QString>("expected");  // relative to the scratch folder

    QTest::newRow("documents, made when missing") << false << QString() << "home/Documents/Profili";
    QTest::newRow("workshop folder beside the program") << true << QString() << "work/Profili";
    QTest::newRow("command line wins") << true << "chosen" << "chosen";
}

void tst_ProfileFolder::choice()
{
    QFETCH(bool, localFolder);
    QFETCH(QString, override);
    QFETCH(QString, expected);

    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QDir root(scratch.path());
    QVERIFY(root.mkpath(QStringLiteral("work")) && root.mkpath(QStringLiteral("home")));
    if (localFolder)
        QVERIFY(root.mkpath(QStringLiteral("work/Profili")));
    qputenv("HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("home/.config"))));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root.filePath(QStringLiteral("work"))));

    setProfileFolderOverride(override.isEmpty() ? QString() : root.filePath(override));
    const QString folder = profileFolder();
    setProfileFolderOverride(QString());
    QDir::setCurrent(previous);

    QCOMPARE(folder, root.filePath(expected));
    QVERIFY(QFileInfo(folder).isDir() || !override.isEmpty());
}

QTEST_GUILESS_MAIN(tst_ProfileFolder)
#include "tst_profilefolder.moc"
