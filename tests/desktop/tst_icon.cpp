// The icon files as a desktop reads them: the .ico's directory holds the three designed
// images and the larger ones for high DPI, and every image, the scalable one too, decodes to
// the same drawing of a plain window.

#include <QFile>
#include <QImageReader>
#include <QTest>
#include <QtEndian>

namespace {
const QString kDir = QStringLiteral(QUINBRAY_DESKTOP_DIR);
const QRgb kNavy = qRgb(0, 0, 128), kWhite = qRgb(255, 255, 255), kBlack = qRgb(0, 0, 0);

// A plain window: clear corner, frame, title bar, empty client area.
void CheckDrawing(const QImage& image, QRgb title) {
    const int n = image.width();
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(image.pixel(n / 2, n / 8), kBlack);
    QCOMPARE(image.pixel(n / 2, n / 8 + 2), title);
    QCOMPARE(image.pixel(n / 2, n * 3 / 4), kWhite);
}
} // namespace

class TestIcon : public QObject {
    Q_OBJECT

private slots:
    void ico_data();
    void ico();
    void png_data();
    void png();
    void svg_data();
    void svg();
};

void TestIcon::ico_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("colours");
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("png"); // Windows takes 256 pixels as a PNG
    QTest::newRow("32, two colours") << 0 << 32 << 2 << 1 << false;
    QTest::newRow("32, sixteen colours") << 1 << 32 << 16 << 4 << false;
    QTest::newRow("16, sixteen colours") << 2 << 16 << 16 << 4 << false;
    QTest::newRow("48, true colour") << 3 << 48 << 0 << 32 << false;
    QTest::newRow("64, true colour") << 4 << 64 << 0 << 32 << false;
    QTest::newRow("128, true colour") << 5 << 128 << 0 << 32 << false;
    QTest::newRow("256, PNG") << 6 << 256 << 0 << 32 << true;
}

void TestIcon::ico() {
    QFETCH(int, index);
    QFETCH(int, size);
    QFETCH(int, colours);
    QFETCH(int, bits);
    QFETCH(bool, png);
    QFile file(kDir + "/quinbray.ico");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(ico.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(ico.constData() + at); };

    QVERIFY(ico.size() > 6 + 7 * 16);
    QCOMPARE(u16(0), 0);
    QCOMPARE(u16(2), 1); // an icon, not a cursor
    QCOMPARE(u16(4), 7); // the three designed images, then four larger ones
    const int entry = 6 + 16 * index;
    QCOMPARE(quint8(ico[entry]), size % 256); // 0 stands for 256
    QCOMPARE(quint8(ico[entry + 1]), size % 256);
    QCOMPARE(quint8(ico[entry + 2]), colours);
    QCOMPARE(u16(entry + 6), bits);
    const quint32 length = u32(entry + 8), offset = u32(entry + 12);
    QVERIFY(offset + length <= quint32(ico.size()));
    if (png) // the image itself agrees
        QCOMPARE(ico.mid(offset, 8), QByteArray("\x89PNG\r\n\x1a\n"));
    else
        QCOMPARE(u16(int(offset) + 14), bits);

    QImageReader reader(file.fileName(), "ico");
    QVERIFY(reader.jumpToImage(index));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), QSize(size, size));
    CheckDrawing(image.convertToFormat(QImage::Format_ARGB32), bits == 1 ? kBlack : kNavy);
}

void TestIcon::png_data() {
    QTest::addColumn<int>("size");
    for (int size : {16, 32, 48, 64, 128, 256})
        QTest::addRow("%d", size) << size;
}

void TestIcon::png() {
    QFETCH(int, size);
    const QImage image(kDir + QString("/io.github.quinbray.Quinbray-%1.png").arg(size));
    QCOMPARE(image.size(), QSize(size, size));
    CheckDrawing(image.convertToFormat(QImage::Format_ARGB32), kNavy);
}

// The scalable icon as a desktop draws it, at sizes where its frame is one pixel or more.
void TestIcon::svg_data() {
    QTest::addColumn<int>("size");
    for (int size : {256, 512})
        QTest::addRow("%d", size) << size;
}

void TestIcon::svg() {
    QFETCH(int, size);
    QImageReader reader(kDir + "/io.github.quinbray.Quinbray.svg", "svg");
    reader.setScaledSize(QSize(size, size));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), QSize(size, size));
    CheckDrawing(image.convertToFormat(QImage::Format_ARGB32), kNavy);
}

QTEST_GUILESS_MAIN(TestIcon)
#include "tst_icon.moc"
