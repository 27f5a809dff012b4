// The flash image: what a flash read brings back and what a flash write
// sends, for both table sizes. Input: the hardware version, then the image
// read back (any length); read as UTF-8, the same bytes are the file path.
#include "fuzzcheck.h"

#include "profile/profilecodec.h"

static int signedAt(const QByteArray &image, int pos)
{
    return pos < image.size() ? static_cast<qint8>(image[pos]) : 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const quint8 hardware = data[0];
    const bool large = hardware >= 20;
    const QByteArray image(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));

    // Parsing: positions the image does not hold read 0; the name holds only
    // printable Latin-1 characters of bytes 41..79.
    const FlashImage parsed = parseFlashImage(image, hardware);
    FUZZ_CHECK(parsed.values.size() == ProfilePoints);
    for (int i = 0; i < ProfilePoints; ++i)
        FUZZ_CHECK(parsed.values[i] == signedAt(image, i));
    FUZZ_CHECK(parsed.hasName == large);
    FUZZ_CHECK(parsed.name.size() <= 39);
    FUZZ_CHECK(large || parsed.name.isEmpty());
    for (QChar c : parsed.name)
        FUZZ_CHECK(c.unicode() <= 0xFF && c.isPrint());
    FUZZ_CHECK(parsed.k == signedAt(image, large ? 82 : 42));
    FUZZ_CHECK(parsed.benchOn == (signedAt(image, large ? 89 : 49) != 0));

    // Writing the values back: 41 bytes, plus 40 name bytes on the large
    // table; the values come back as they were read.
    const QString path = QString::fromUtf8(image);
    const QByteArray built = buildFlashImageBytes(parsed.values, hardware, path);
    FUZZ_CHECK(built.size() == (large ? 81 : 41));
    for (int i = 0; i < ProfilePoints; ++i)
        FUZZ_CHECK(built[i] == static_cast<char>(signedAt(image, i)));

    // The name: the text after the last "/", Latin-1, cut or zero-filled to 40.
    const QByteArray name = profileNameBytes(path);
    FUZZ_CHECK(name.size() == 40);
    const QString base = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    for (int i = 0; i < 40; ++i) {
        const ushort u = i < base.size() ? base[i].unicode() : 0;
        FUZZ_CHECK(name[i] == static_cast<char>(u <= 0xFF ? u : 0));
    }
    if (large) {
        FUZZ_CHECK(built.mid(41) == name);
        // Read back, the image gives the printable part of the name.
        QString printable;
        for (int i = 0; i < 39; ++i) {
            const QChar c = QChar::fromLatin1(name[i]);
            if (c.isPrint())
                printable.append(c);
        }
        FUZZ_CHECK(parseFlashImage(built, hardware).name == printable);
    }
    return 0;
}
