// The whole-number dialog takes the text as typed: a number outside the
// range or not a whole number is refused with the reason and the dialog
// stays open with the text untouched; the ends of the range are taken.
// (How a text is read is the table's reading, tested with the table.)
#include "profile/wholenumberdialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestWholeNumberDialog : public QObject
{
    Q_OBJECT
private slots:
    void typedText_data();
    void typedText();
    void getIntAsksAgainUntilTaken();
};

// Typed over the proposed value and confirmed with the OK button.
static void typeAndConfirm(CWholeNumberDialog *d, const QString &text)
{
    d->lineEdit()->selectAll();
    QTest::keyClick(d->lineEdit(), Qt::Key_Backspace);
    QTest::keyClicks(d->lineEdit(), text);
    QTest::mouseClick(d->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
}

void TestWholeNumberDialog::typedText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");    // taken; 0 when refused
    QTest::addColumn<QString>("problem"); // said under the text; empty when taken

    QTest::newRow("lowest") << "-100" << -100 << "";
    QTest::newRow("highest, with its sign") << "+500" << 500 << "";
    QTest::newRow("three digits are not cut to two") << "150" << 150 << "";
    QTest::newRow("one past the top")
        << "501" << 0 << "501 è fuori dall'intervallo da -100 a 500";
    QTest::newRow("one past the bottom")
        << "-101" << 0 << "-101 è fuori dall'intervallo da -100 a 500";
    QTest::newRow("more digits than the range has")
        << "5000" << 0 << "5000 è fuori dall'intervallo da -100 a 500";
    QTest::newRow("a fraction") << "2.5" << 0 << "\"2.5\" non è un numero intero";
    QTest::newRow("nothing") << "" << 0 << "Scrivere un numero intero da -100 a 500";
}

void TestWholeNumberDialog::typedText()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(QString, problem);

    CWholeNumberDialog d(nullptr, QStringLiteral("Scala"), QStringLiteral("Percento:"), 7, -100,
                         500);
    QCOMPARE(d.lineEdit()->text(), QStringLiteral("7"));
    d.show();
    typeAndConfirm(&d, text);
    QCOMPARE(d.problemText(), problem);
    if (problem.isEmpty()) {
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.value(), value);
    } else {
        QVERIFY(d.isVisible());
        QCOMPARE(d.lineEdit()->text(), text);
        QCOMPARE(d.value(), 7);
    }
}

// The static form: a refused text keeps the dialog open; what is typed next
// clears the reason; cancel gives back the proposed value.
void TestWholeNumberDialog::getIntAsksAgainUntilTaken()
{
    QString refusal;
    QString afterEdit = QStringLiteral("not cleared");
    QTimer::singleShot(0, this, [&] {
        auto *d = qobject_cast<CWholeNumberDialog *>(QApplication::activeModalWidget());
        QVERIFY(d);
        typeAndConfirm(d, QStringLiteral("26"));
        refusal = d->problemText();
        QTest::keyClick(d->lineEdit(), Qt::Key_Backspace);
        afterEdit = d->problemText();
        typeAndConfirm(d, QStringLiteral("-10"));
    });
    bool ok = false;
    QCOMPARE(CWholeNumberDialog::getInt(nullptr, QStringLiteral("Imposta valore"),
                                        QStringLiteral("Valore:"), 3, -10, 25, &ok),
             -10);
    QVERIFY(ok);
    QCOMPARE(refusal, QStringLiteral("26 è fuori dall'intervallo da -10 a 25"));
    QCOMPARE(afterEdit, QString());

    QTimer::singleShot(0, this, [] {
        auto *d = qobject_cast<CWholeNumberDialog *>(QApplication::activeModalWidget());
        QVERIFY(d);
        d->lineEdit()->setText(QStringLiteral("20"));
        d->reject();
    });
    QCOMPARE(CWholeNumberDialog::getInt(nullptr, QStringLiteral("Imposta valore"),
                                        QStringLiteral("Valore:"), 3, -10, 25, &ok),
             3);
    QVERIFY(!ok);
}

QTEST_MAIN(TestWholeNumberDialog)
#include "tst_wholenumberdialog.moc"
