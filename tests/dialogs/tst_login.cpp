// The expert-mode password dialog and the About box: what the login dialog
// reports on each way out, and both dialogs' texts across a language switch.

#include "dialogs/frmabout.h"
#include "dialogs/frmlogin.h"

#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

class tst_Login : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void artworkLoads();
    void formSettings();
    void confirmReportsOnce();
    void closeReportsTypedTextOnce_data();
    void closeReportsTypedTextOnce();
    void escapeBehavesLikeClose();
    void reopenStartsEmpty();
    void aboutClosesFromItsButton();
    void languageSwitchRetextsBothDialogs();

private:
    static QLineEdit *password(frmLogin &d) { return d.findChild<QLineEdit *>("lePassword"); }
    static QPushButton *confirm(frmLogin &d) { return d.findChild<QPushButton *>("btLogin"); }
    void install(const QString &catalogue);
    static void checkTitleBar(const QDialog &d);

    QTranslator *translator = nullptr;
};

void tst_Login::init()
{
    QStandardPaths::setTestModeEnabled(true);
}

void tst_Login::cleanup()
{
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
}

void tst_Login::install(const QString &catalogue)
{
    cleanup();
    translator = new QTranslator;
    QVERIFY(translator->load(catalogue, QStringLiteral(":/linguist")));
    QVERIFY(QCoreApplication::installTranslator(translator));
}

// The compiled-in pictures that the dialogs and the main window name.
void tst_Login::artworkLoads()
{
    QImageReader icon(QStringLiteral(":/icons/imgs/motorcycle.ico"));
    QCOMPARE(icon.imageCount(), 4); // 16, 32, 48 and 256 px
    QVERIFY(!icon.read().isNull());

    for (const char *led : {":/led/imgs/LEDON.JPG", ":/led/imgs/LEDOFF.JPG"}) {
        const QImage img(QString::fromLatin1(led));
        QVERIFY2(!img.isNull(), led);
        QCOMPARE(img.height(), 33); // one push button high
    }
    for (const char *logo : {":/images/imgs/vantor2.jpg", ":/images/imgs/vantor4.jpg"})
        QCOMPARE(QImage(QString::fromLatin1(logo)).size(), QSize(478, 320));
}

// A dialog window whose title bar offers the close button only (Qt adds the
// title and system-menu hints itself).
void tst_Login::checkTitleBar(const QDialog &d)
{
    const Qt::WindowFlags flags = d.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                       | Qt::WindowContextHelpButtonHint)));
}

void tst_Login::formSettings()
{
    frmLogin login;
    QLineEdit *le = password(login);
    QVERIFY(le);
    QVERIFY(confirm(login));
    QCOMPARE(login.objectName(), QStringLiteral("frmLogin"));
    QCOMPARE(login.size(), QSize(305, 156));
    QCOMPARE(login.windowModality(), Qt::ApplicationModal);
    checkTitleBar(login);
    QVERIFY(!login.windowIcon().isNull());
    QCOMPARE(le->echoMode(), QLineEdit::Password);
    QCOMPARE(le->alignment(), Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter);
    QCOMPARE(login.focusWidget(), le);
    QCOMPARE(login.palette().color(QPalette::Active, QPalette::Window), QColor(165, 165, 165));
    QCOMPARE(login.palette().color(QPalette::Disabled, QPalette::Text), QColor(82, 82, 82));
    QCOMPARE(login.palette().color(QPalette::Inactive, QPalette::AlternateBase), QColor(210, 210, 210));

    frmAbout about;
    QCOMPARE(about.size(), QSize(484, 385));
    QCOMPARE(about.windowModality(), Qt::WindowModal);
    checkTitleBar(about);
    QVERIFY(!about.windowIcon().isNull());
}

void tst_Login::confirmReportsOnce()
{
    frmLogin login;
    QSignalSpy spy(&login, &frmLogin::sgnPassword);
    login.show();
    QTest::keyClicks(password(login), QStringLiteral("s3cret"));

    // The command starts when the button goes down.
    QTest::mousePress(confirm(login), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("s3cret"));
    QVERIFY(!login.isVisible());

    QTest::mouseRelease(confirm(login), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(spy.count(), 1);
}

void tst_Login::closeReportsTypedTextOnce_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("nothing typed") << QString();
    QTest::newRow("partial text") << QStringLiteral("abc");
}

void tst_Login::closeReportsTypedTextOnce()
{
    QFETCH(QString, typed);
    frmLogin login;
    QSignalSpy spy(&login, &frmLogin::sgnPassword);
    login.show();
    if (!typed.isEmpty())
        QTest::keyClicks(password(login), typed);

    QVERIFY(login.close());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), typed);
    QVERIFY(!login.isVisible());
}

void tst_Login::escapeBehavesLikeClose()
{
    frmLogin login;
    QSignalSpy spy(&login, &frmLogin::sgnPassword);
    QSignalSpy rejected(&login, &QDialog::rejected);
    login.show();
    QTest::keyClicks(password(login), QStringLiteral("xy"));

    QTest::keyClick(password(login), Qt::Key_Escape);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("xy"));
    QVERIFY(!login.isVisible());
    QCOMPARE(rejected.count(), 1);

    // Escape with nothing typed reports the empty text, like the close button.
    login.clearPassword();
    login.show();
    QTest::keyClick(password(login), Qt::Key_Escape);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toString(), QString());
}

void tst_Login::reopenStartsEmpty()
{
    frmLogin login;
    QSignalSpy spy(&login, &frmLogin::sgnPassword);
    login.show();
    QTest::keyClicks(password(login), QStringLiteral("wrong"));
    QTest::mousePress(confirm(login), Qt::LeftButton);
    QTest::mouseRelease(confirm(login), Qt::LeftButton);
    QVERIFY(!login.isVisible());

    // The main window clears the field before every show. The mouse left the
    // focus on the confirm button; typing still goes into the field.
    login.clearPassword();
    login.show();
    QVERIFY(QTest::qWaitForWindowActive(&login));
    QCOMPARE(password(login)->text(), QString());
    QCOMPARE(QApplication::focusWidget(), password(login));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5821"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("5821"));
}

void tst_Login::aboutClosesFromItsButton()
{
    frmAbout about;
    about.show();
    QVERIFY(about.isVisible());
    QTest::mouseClick(about.findChild<QPushButton *>("btClose"), Qt::LeftButton);
    QVERIFY(!about.isVisible());
}

void tst_Login::languageSwitchRetextsBothDialogs()
{
    frmLogin login;
    frmAbout about;
    QLabel *logo = about.findChild<QLabel *>("lblLogo");
    QLabel *info = about.findChild<QLabel *>("lblInfo");
    QPushButton *close = about.findChild<QPushButton *>("btClose");
    QLabel *request = login.findChild<QLabel *>("lblReqPassword");
    QVERIFY(logo && info && close && request);

    // Without a catalogue the forms show their source texts.
    QCOMPARE(login.windowTitle(), QStringLiteral("tr(\"Accesso modo esperto\")"));
    QCOMPARE(logo->pixmap(Qt::ReturnByValue).size(), QSize(478, 320));

    login.show();
    QTest::keyClicks(password(login), QStringLiteral("typed"));
    confirm(login)->setToolTip(QStringLiteral("stale"));

    install(QStringLiteral("ECUVantor-en.qm"));
    login.retranslateUi();
    about.retranslateUi();

    QCOMPARE(login.windowTitle(), QStringLiteral("Expert Mode"));
    QCOMPARE(request->text(), QStringLiteral("Enter the  password"));
    QCOMPARE(confirm(login)->text(), QStringLiteral("Confirm"));
    QCOMPARE(confirm(login)->toolTip(), QString());
    QCOMPARE(password(login)->text(), QString()); // a switch empties the typed text

    QCOMPARE(about.windowTitle(), QStringLiteral("Info"));
    QCOMPARE(close->text(), QStringLiteral("Close"));
    QCOMPARE(info->text(), QString());
    QCOMPARE(logo->text(), QString());
    QVERIFY(!logo->pixmap(Qt::ReturnByValue).isNull());
    QCOMPARE(logo->pixmap(Qt::ReturnByValue).size(), QSize(478, 320));

    install(QStringLiteral("ECUVantor-it.qm"));
    login.retranslateUi();
    about.retranslateUi();
    QCOMPARE(login.windowTitle(), QStringLiteral("Modalità esperto"));
    QCOMPARE(request->text(), QStringLiteral("Digitare la password"));
    QCOMPARE(confirm(login)->text(), QStringLiteral("Conferma"));
    QCOMPARE(about.windowTitle(), QStringLiteral("Informazioni"));
    QCOMPARE(close->text(), QStringLiteral("Chiudi"));
    QVERIFY(!logo->pixmap(Qt::ReturnByValue).isNull());
}

QTEST_MAIN(tst_Login)
#include "tst_login.moc"
