// Profile files, flash images and value ranges: the codecs the main window
// uses for everything it stores or sends.
#include "profile/profilecodec.h"

#include <QBuffer>
#include <QDataStream>
#include <QtTest>

class TestProfileCodec : public QObject
{
    Q_OBJECT
private slots:
    void valueToByte_data();
    void valueToByte();
    void fileRoundTrip();
    void shortAndLongFiles_data();
    void shortAndLongFiles();
    void signedBytesLoad();
    void flashImageWritten_data();
    void flashImageWritten();
    void flashImageRead_data();
    void flashImageRead();
    void writtenImageChecked_data();
    void writtenImageChecked();
    void valueRanges();
    void keysFollowVariant();
};

void TestProfileCodec::valueToByte_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("byte");
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("-128") << -128.0 << -128;
    QTest::newRow("127") << 127.0 << 127;
    QTest::newRow("128 wraps") << 128.0 << -128;
    QTest::newRow("-129 wraps") << -129.0 << 127;
    QTest::newRow("300 keeps low 8 bits") << 300.0 << 44;
    QTest::newRow("2.9 truncates") << 2.9 << 2;
    QTest::newRow("-2.9 truncates toward zero") << -2.9 << -2;
    QTest::newRow("beyond 16 bits saturates") << 1e9 << -1; // 32767 -> 0xFF
    QTest::newRow("nan") << std::nan("") << 0;
}

void TestProfileCodec::valueToByte()
{
    QFETCH(double, value);
    QFETCH(int, byte);
    QCOMPARE(int(::valueToByte(value)), byte);
}

static QByteArray encode(const QVector<double> &values, int k)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    writeProfile(out, values, k);
    return bytes;
}

static ProfileData decode(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QDataStream in(&copy, QIODevice::ReadOnly);
    return readProfile(in);
}

void TestProfileCodec::fileRoundTrip()
{
    QVector<double> values;
    for (int i = 0; i < ProfilePoints; ++i)
        values.append(i % 2 ? -i : i * 3);
    const QByteArray bytes = encode(values, 3);
    QCOMPARE(bytes.size(), 42);
    QCOMPARE(quint8(bytes.at(1)), quint8(0xFF)); // -1
    QCOMPARE(int(bytes.at(41)), 3);

    const ProfileData back = decode(bytes);
    QCOMPARE(back.values, values);
    QCOMPARE(back.k, 3);

    // A profile at start-up: 41 zero bytes, then K.
    const QByteArray flat = encode(QVector<double>(41, 0.0), 1);
    QCOMPARE(flat, QByteArray(41, '\0') + QByteArray(1, '\1'));
}

void TestProfileCodec::shortAndLongFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("filled");
    QTest::addColumn<int>("k");
    QByteArray ten;
    for (int i = 0; i < 10; ++i)
        ten.append(char(i + 1));
    QByteArray sixty;
    for (int i = 0; i < 60; ++i)
        sixty.append(char(i + 1));
    QTest::newRow("empty") << QByteArray() << 0 << 0;
    QTest::newRow("10 bytes") << ten << 10 << 0;
    QTest::newRow("41 bytes, no K") << sixty.left(41) << 41 << 0;
    QTest::newRow("60 bytes") << sixty << 41 << 42;
}

void TestProfileCodec::shortAndLongFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(int, filled);
    QFETCH(int, k);
    const ProfileData data = decode(file);
    QCOMPARE(data.values.size(), 41);
    for (int i = 0; i < 41; ++i)
        QCOMPARE(data.values[i], i < filled ? double(i + 1) : 0.0);
    QCOMPARE(data.k, k);
}

void TestProfileCodec::signedBytesLoad()
{
    QByteArray file(42, '\0');
    file[0] = char(0xF6);
    file[1] = char(0x32);
    file[2] = char(0x80);
    const ProfileData data = decode(file);
    QCOMPARE(data.values[0], -10.0);
    QCOMPARE(data.values[1], 50.0);
    QCOMPARE(data.values[2], -128.0);
}

void TestProfileCodec::flashImageWritten_data()
{
    QTest::addColumn<int>("hardware");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("nameBytes");
    const QString fifty = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWX.prf");
    QTest::newRow("hw10") << 10 << QStringLiteral("/x/gara.prf") << QByteArray();
    QTest::newRow("hw11") << 11 << QStringLiteral("/x/gara.prf") << QByteArray();
    QTest::newRow("hw20, 8 characters")
        << 20 << QStringLiteral("/home/u/Profili/gara.prf")
        << QByteArray("gara.prf") + QByteArray(32, '\0');
    QTest::newRow("hw20, 50+ characters cut to 40")
        << 20 << QStringLiteral("/p/") + fifty << fifty.left(40).toLatin1();
    QTest::newRow("hw20, placeholder text") << 20 << QStringLiteral("<Nessuna mappa caricata>")
                                             << QByteArray("<Nessuna mappa caricata>")
                                                    + QByteArray(16, '\0');
    QTest::newRow("hw20, non-Latin-1 gives 0")
        << 20 << QStringLiteral("/p/a\u20ACb.prf")
        << QByteArray("a\0b.prf", 7) + QByteArray(33, '\0');
}

void TestProfileCodec::flashImageWritten()
{
    QFETCH(int, hardware);
    QFETCH(QString, path);
    QFETCH(QByteArray, nameBytes);
    QVector<double> values;
    for (int i = 0; i < 41; ++i)
        values.append(i - 20);
    const QByteArray image = buildFlashImageBytes(values, quint8(hardware), path);
    QCOMPARE(image.size(), hardware >= 20 ? 81 : 41);
    for (int i = 0; i < 41; ++i)
        QCOMPARE(int(qint8(image.at(i))), i - 20);
    QCOMPARE(image.mid(41), nameBytes);
}

void TestProfileCodec::flashImageRead_data()
{
    QTest::addColumn<int>("hardware");
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("k");
    QTest::addColumn<bool>("bench");

    QByteArray small(50, '\0');
    for (int i = 0; i < 41; ++i)
        small[i] = char(i);
    small[41] = 2;
    small[42] = 3;
    small[49] = 1;
    QTest::newRow("hw10") << 10 << small << QString() << 3 << true;
    QTest::newRow("hw11") << 11 << small << QString() << 3 << true;

    QByteArray large(90, '\0');
    for (int i = 0; i < 41; ++i)
        large[i] = char(i);
    const QByteArray name("gara.prf\x01\x7F");
    large.replace(41, name.size(), name);
    large[82] = 4;
    large[89] = 0;
    QTest::newRow("hw20") << 20 << large << QStringLiteral("gara.prf") << 4 << false;
    // A read that stopped early: positions it does not hold read 0.
    QTest::newRow("hw20 truncated") << 20 << large.left(45) << QStringLiteral("gara") << 0 << false;
    QTest::newRow("hw10 without bench byte") << 10 << small.left(43) << QString() << 3 << false;
    QTest::newRow("empty") << 10 << QByteArray() << QString() << 0 << false;
}

void TestProfileCodec::flashImageRead()
{
    QFETCH(int, hardware);
    QFETCH(QByteArray, image);
    QFETCH(QString, name);
    QFETCH(int, k);
    QFETCH(bool, bench);
    const FlashImage parsed = parseFlashImage(image, quint8(hardware));
    QCOMPARE(parsed.values.size(), 41);
    for (int i = 0; i < 41; ++i)
        QCOMPARE(parsed.values[i], i < image.size() ? double(i) : 0.0);
    QCOMPARE(parsed.hasName, hardware >= 20);
    QCOMPARE(parsed.name, name);
    QCOMPARE(parsed.k, k);
    QCOMPARE(parsed.benchOn, bench);
}

void TestProfileCodec::writtenImageChecked_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("readBack");
    QTest::addColumn<QVector<int>>("points");
    QTest::addColumn<bool>("nameDiffers");
    QByteArray small(41, char(3));
    QByteArray table = small + QByteArray(9, char(1)); // K and the rest follow
    QTest::newRow("same, small table") << small << table << QVector<int>() << false;
    QByteArray two = table;
    two[0] = char(2);
    two[40] = char(-3);
    QTest::newRow("first and last point") << small << two << QVector<int>({0, 40}) << false;
    QTest::newRow("read stopped early") << small << table.left(39) << QVector<int>({39, 40})
                                        << false;
    const QByteArray large = small + QByteArray("gara.prf").leftJustified(40, '\0');
    QByteArray renamed = large + QByteArray(9, char(1));
    QTest::newRow("same, large table") << large << renamed << QVector<int>() << false;
    renamed[45] = 'x';
    QTest::newRow("name differs") << large << renamed << QVector<int>() << true;
}

void TestProfileCodec::writtenImageChecked()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, readBack);
    QFETCH(QVector<int>, points);
    QFETCH(bool, nameDiffers);
    const WriteCheck check = checkWrittenImage(sent, readBack);
    QCOMPARE(check.points, points);
    QCOMPARE(check.nameDiffers, nameDiffers);
    QCOMPARE(check.ok(), points.isEmpty() && !nameDiffers);
}

void TestProfileCodec::valueRanges()
{
    const ValueRange r10 = valueRangeFor(10);
    QCOMPARE(r10.valueMin, -10.0f);
    QCOMPARE(r10.valueMax, 25.0f);
    QCOMPARE(r10.valueAxisStep, 5);
    QCOMPARE(r10.keyStepPixels, 10);
    QCOMPARE(valueRangeFor(0).valueMax, 25.0f);
    const ValueRange r11 = valueRangeFor(11);
    QCOMPARE(r11.valueMin, -20.0f);
    QCOMPARE(r11.valueMax, 50.0f);
    QCOMPARE(r11.valueAxisStep, 10);
    QCOMPARE(r11.keyStepPixels, 5);
    QCOMPARE(valueRangeFor(255).valueMin, -20.0f);
}

void TestProfileCodec::keysFollowVariant()
{
    const QVector<double> two = profileKeys(12000.0);
    const QVector<double> four = profileKeys(17000.0);
    QCOMPARE(two.size(), 41);
    QCOMPARE(two[1], 300.0);
    QCOMPARE(two[40], 12000.0);
    QCOMPARE(four[1], 425.0);
    QCOMPARE(four[40], 17000.0);
}

QTEST_APPLESS_MAIN(TestProfileCodec)
#include "tst_profilecodec.moc"
