#include <QAbstractItemModelTester>
#include <QtTest>

#include "KeyConversion.h"
#include "KeyGridModel.h"
#include "Kodovani.h"
#include "MemoryMapModel.h"

using namespace zak;

class ModelsTest : public QObject {
    Q_OBJECT
  private slots:
    void cp1250RoundTrip_data();
    void cp1250RoundTrip();
    void unmappableCharactersBecomeQuestionMarks();
    void mapModelShowsWrittenCellsOnly();
    void mapHeadings();
    void keyGridShowsRowsPutIntoIt();
};

void ModelsTest::cp1250RoundTrip_data() {
    QTest::addColumn<QByteArray>("bajty");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("Klic c. 7") << QString("Klic c. 7");
    QTest::newRow("czech") << QByteArray("\xC8\xE1st \x9Elu\x9Dou\xE8k\xE9ho \xF8\xE1")
                           << QString::fromUtf8("Část žluťoučkého řá");
    QTest::newRow("upper") << QByteArray("\x8A\x8D\x8E\xD8") << QString::fromUtf8("ŠŤŽŘ");
    QTest::newRow("signs") << QByteArray("\x80\xA7\xB0") << QString::fromUtf8("€§°");
    QTest::newRow("control 1A") << QByteArray(
                                       "a\x1A"
                                       "b")
                                << QString::fromUtf8(
                                       "a\x1A"
                                       "b");
}

void ModelsTest::cp1250RoundTrip() {
    QFETCH(QByteArray, bajty);
    QFETCH(QString, text);
    const std::string b = bajty.toStdString();
    QCOMPARE(zCp1250(b), text);
    QCOMPARE(doCp1250(text), b);
}

void ModelsTest::unmappableCharactersBecomeQuestionMarks() {
    QCOMPARE(doCp1250(QString::fromUtf8("ä→€日😀x")), std::string("\xE4?\x80??x"));
}

void ModelsTest::mapModelShowsWrittenCellsOnly() {
    MemoryImage pamet;
    MemoryMapModel model(pamet);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 2048);
    QCOMPARE(model.columnCount(), 16);

    QSignalSpy zmeny(&model, &QAbstractItemModel::dataChanged);
    KeyTable t;
    t.UkladatKomentare = true;
    Keys2Mem(t, pamet);
    model.obnovZmeny();
    QCOMPARE(zmeny.count(), 1);
    QCOMPARE(zmeny.at(0).at(0).toModelIndex().row(), 1);  // 0x1C..0x1F lie in row 0x0010

    struct Bunka {
        int adresa;
        QString text;
    };
    const Bunka bunky[] = {
        {0x1C, QString::fromUtf8("AA Ş")},  // the marker byte as its Windows-1250 character
        {0x1D, QStringLiteral("1E ") + QChar(0x1E)},
        {0x1E, QStringLiteral("00 ")},  // a zero byte adds nothing after the blank
        {0x1B, QString()},              // never written: empty
        {0x20, QString()},
    };
    for (const Bunka& b : bunky)
        QCOMPARE(model.index(b.adresa / 16, b.adresa % 16).data().toString(), b.text);

    pamet.zapis(0x7FFF, 0xE8);
    QCOMPARE(model.index(2047, 15).data().toString(), QString::fromUtf8("E8 č"));
    pamet.vyprazdniMapu();
    model.obnovZmeny();
    QCOMPARE(model.index(1, 12).data().toString(), QString());
}

void ModelsTest::mapHeadings() {
    MemoryImage pamet;
    MemoryMapModel model(pamet);
    QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("00 "));
    QCOMPARE(model.headerData(15, Qt::Horizontal, Qt::DisplayRole).toString(), QString("0F "));
    QCOMPARE(model.headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QString("0000 "));
    QCOMPARE(model.headerData(2047, Qt::Vertical, Qt::DisplayRole).toString(), QString("7FF0 "));
}

void ModelsTest::keyGridShowsRowsPutIntoIt() {
    KeyTable t;
    KeyGridModel model(t);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 2000);
    QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString::fromUtf8("č."));
    QCOMPARE(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString::fromUtf8("Komentář"));

    t.PocetKlicu = 1;
    t.klic(1).ID = "12AB0000000000";
    t.klic(1).Komentar = "\x8Akola";
    QCOMPARE(model.index(0, 1).data().toString(), QString());  // not put into the grid yet
    model.zobrazRadky(1, 1);
    QCOMPARE(model.index(0, 0).data().toString(), QString("1."));
    QCOMPARE(model.index(0, 1).data().toString(), QString("12AB0000000000"));
    QCOMPARE(model.index(0, 2).data().toString(), QString::fromUtf8("Škola"));
    model.vyprazdniRadek(1);
    QCOMPARE(model.index(0, 0).data().toString(), QString());
    QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsEditable));
}

QTEST_MAIN(ModelsTest)
#include "ModelsTest.moc"
