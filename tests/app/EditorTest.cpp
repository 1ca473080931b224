#include <QCheckBox>
#include <QLabel>
#include <QToolButton>

#include "KeyGridModel.h"
#include "OknoTestu.h"

using namespace zak;

// The key page driven as the operator drives it: typing, clicking, shortcuts.
class EditorTest : public QObject {
    Q_OBJECT
  private slots:
    void addToAnEmptyTable();
    void deleteAsksAndMovesKeysDown();
    void deleteActsOnTheStateAtTheAnswer();
    void deleteLastThenAddGivesThatNumberAgain();
    void nothingIsCurrent();
    void typedIdLandsInItsKey_data();
    void typedIdLandsInItsKey();
    void czechCommentKeptByteExact();
    void insertAndDeleteWorkFromAnEditBox_data();
    void insertAndDeleteWorkFromAnEditBox();
    void tabLeavesTheGrid();
    void upperCaseTouchesOnlyAsciiLetters();
    void floorsAndInvert();
    void commentLengthAndCapacity_data();
    void commentLengthAndCapacity();
    void capacityRefusals();
    void loadLimitField();
    void newAsksBeforeClearing();
    void addAtTheFullTableIsRefused();
};

namespace {

void pridej(Okno& o, int kolik) {
    for (int i = 0; i < kolik; ++i)
        o.Form.AddKeyButt();
}

QString bunka(TForm1& f, int n, int sloupec) {
    return f.TabulkaKlicu->model()->index(n - 1, sloupec).data().toString();
}

QString mapa(TForm1& f, int adresa) {
    return f.MapaPameti->model()->index(adresa / 16, adresa % 16).data().toString();
}

}  // namespace

void EditorTest::addToAnEmptyTable() {
    Okno o;
    TForm1& f = o.Form;
    f.SpeedButton7->click();
    QCOMPARE(f.Klice.PocetKlicu, 1);
    QCOMPARE(f.Klice.AktKlic, 1);
    QCOMPARE(f.EditAktKlic->text(), QString("#1"));
    QCOMPARE(f.EditAktID->text(), QString());
    QCOMPARE(f.EditAktKomentar->text(), QString("Novy klic c.1"));
    for (QCheckBox* b : f.Patro)
        QVERIFY(!b->isChecked());
    QCOMPARE(bunka(f, 1, 0), QString("1."));
    QCOMPARE(bunka(f, 1, 2), QString("Novy klic c.1"));
    QCOMPARE(f.TabulkaKlicu->currentIndex().row(), 0);
    // The key reached the image and the map: header count 1 and its record.
    QCOMPARE(f.Pamet[31], 1);
    QCOMPARE(mapa(f, 31), QString::fromUtf8("01 \x01"));
    QCOMPARE(mapa(f, 41), QString("00 "));
}

void EditorTest::deleteAsksAndMovesKeysDown() {
    Okno o;
    TForm1& f = o.Form;
    pridej(o, 3);
    f.Klice.klic(3).Patra[0] = 1;
    f.Keys2Mem();
    f.Pamet.zapis(200, 0x42);  // a byte past the data end, shown in the map

    f.ObnovPatra(2);
    o.Dialogy->Odpovedi = {false};
    f.SpeedButton8->click();
    QCOMPARE(o.Dialogy->Otazky, QStringList{QString::fromUtf8("Opravdu smazat data klíče?")});
    QCOMPARE(f.Klice.PocetKlicu, 3);

    o.Dialogy->Odpovedi = {true};
    f.SpeedButton8->click();
    QCOMPARE(f.Klice.PocetKlicu, 2);
    QCOMPARE(bunka(f, 1, 0), QString("1."));
    QCOMPARE(bunka(f, 2, 0), QString("2."));
    QCOMPARE(bunka(f, 2, 2), QString("Novy klic c.3"));
    QCOMPARE(bunka(f, 3, 0), QString());
    QCOMPARE(bunka(f, 3, 2), QString());
    QCOMPARE(f.EditAktKomentar->text(), QString("Novy klic c.3"));
    QVERIFY(f.Patro[0]->isChecked());
    // The map shows only the header and the two keys: it was emptied first.
    QCOMPARE(mapa(f, 31), QString::fromUtf8("02 \x02"));
    QCOMPARE(mapa(f, 51), QString("00 "));
    QCOMPARE(mapa(f, 52), QString());
    QCOMPARE(mapa(f, 200), QString());
    QCOMPARE(f.Pamet[49], 1);  // key 2's floors byte: the former key 3 with floor 1
}

void EditorTest::deleteActsOnTheStateAtTheAnswer() {
    Okno o;
    TForm1& f = o.Form;
    pridej(o, 3);
    f.ObnovPatra(1);
    // While the box waits, the operator's other window work moves the current key.
    o.Dialogy->PriOtazce = [&f] { f.ObnovPatra(3); };
    o.Dialogy->Odpovedi = {true};
    f.DelKeyButt();
    QCOMPARE(f.Klice.PocetKlicu, 2);
    QCOMPARE(f.Klice.klic(1).Komentar, std::string("Novy klic c.1"));
    QCOMPARE(f.Klice.klic(2).Komentar, std::string("Novy klic c.2"));
}

void EditorTest::deleteLastThenAddGivesThatNumberAgain() {
    Okno o;
    TForm1& f = o.Form;
    pridej(o, 2);
    f.Klice.klic(2).ID = "ABCD0000000000";
    o.Dialogy->Odpovedi = {true};
    f.DelKeyButt();
    QCOMPARE(f.Klice.PocetKlicu, 1);
    QCOMPARE(f.Klice.AktKlic, 2);  // one above the count, a blank panel
    QCOMPARE(f.EditAktKlic->text(), QString("#2"));
    QCOMPARE(f.EditAktID->text(), QString());
    QCOMPARE(f.EditAktKomentar->text(), QString());
    f.AddKeyButt();
    QCOMPARE(f.Klice.AktKlic, 2);
    QCOMPARE(f.Klice.klic(2).ID, std::string());
    QCOMPARE(f.EditAktKomentar->text(), QString("Novy klic c.2"));
}

void EditorTest::nothingIsCurrent() {
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    // No key yet: delete asks nothing, invert and the fields change nothing.
    f.SpeedButton8->click();
    f.SpeedButton10->click();
    vyber(f.EditAktID);
    QTest::keyClicks(f.EditAktID, "12");
    vyber(f.EditAktKomentar);  // leaves the ID field
    QTest::keyClicks(f.EditAktKomentar, "x");
    f.TabulkaKlicu->setFocus();
    QVERIFY(o.Dialogy->Otazky.isEmpty());
    QCOMPARE(f.Klice.PocetKlicu, 0);
    QCOMPARE(f.Klice.klic(1), TKlic{});
    QCOMPARE(f.Klice.klic(0), TKlic{});
}

void EditorTest::typedIdLandsInItsKey_data() {
    QTest::addColumn<QString>("jakOdejit");
    QTest::newRow("click another row") << "row";
    QTest::newRow("tab to the next field") << "tab";
    QTest::newRow("tool button") << "button";
    QTest::newRow("menu shortcut") << "shortcut";
}

void EditorTest::typedIdLandsInItsKey() {
    QFETCH(QString, jakOdejit);
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    pridej(o, 3);
    o.klikniNaRadek(2);
    QCOMPARE(f.Klice.AktKlic, 2);

    vyber(f.EditAktID);
    QTest::keyClicks(f.EditAktID, "12ab");
    QCOMPARE(f.EditAktID->text(), QString("12AB"));  // letters shown in upper case
    if (jakOdejit == "row")
        o.klikniNaRadek(3);
    else if (jakOdejit == "tab")
        QTest::keyClick(f.EditAktID, Qt::Key_Tab);
    else if (jakOdejit == "button")
        f.SpeedButton7->click();  // add key: the panel moves on to the new key
    else
        QTest::keyClick(f.EditAktID, Qt::Key_Insert);

    QCOMPARE(f.Klice.klic(2).ID, std::string("12AB0000000000"));
    QCOMPARE(f.Klice.klic(2).Kod, (TKod{0x12, 0xAB, 0, 0, 0, 0, 0}));
    QCOMPARE(bunka(f, 2, 1), QString("12AB0000000000"));
    QCOMPARE(f.Klice.klic(3).ID, std::string());
    QCOMPARE(f.Pamet[42], 0x12);  // key 2's record in the image
    QCOMPARE(f.Pamet[48], 0xAB);
}

void EditorTest::czechCommentKeptByteExact() {
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    pridej(o, 1);
    f.Klice.UkladatKomentare = true;
    f.Klice.DelkaKomentare = 20;
    vyber(f.EditAktKomentar);
    QTest::keyClick(f.EditAktKomentar, Qt::Key_Backspace);
    napis(f.EditAktKomentar, QString::fromUtf8("Žluťoučký kůň ✓ 20 znaků a víc"));
    QTest::keyClick(f.EditAktKomentar, Qt::Key_Tab);
    const std::string bajty =
        "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2 ? 20 znak\xF9 a v\xED"
        "c";
    QCOMPARE(f.Klice.klic(1).Komentar, bajty);  // no length limit in the key itself
    QCOMPARE(bunka(f, 1, 2), QString::fromUtf8("Žluťoučký kůň ? 20 znaků a víc"));
    // The image holds its first 20 bytes after the record.
    std::string vPameti;
    for (int a = 42; a < 62; ++a)
        vPameti.push_back(static_cast<char>(f.Pamet[a]));
    QCOMPARE(vPameti, bajty.substr(0, 20));

    // Passing through the field without typing keeps every byte, also ones the code
    // page does not define.
    f.Klice.klic(1).Komentar = "\x81\x98";
    f.ObnovPatra(1);
    f.EditAktKomentar->setFocus();
    QTest::keyClick(f.EditAktKomentar, Qt::Key_Tab);
    QCOMPARE(f.Klice.klic(1).Komentar, std::string("\x81\x98"));
}

void EditorTest::insertAndDeleteWorkFromAnEditBox_data() {
    QTest::addColumn<Qt::KeyboardModifiers>("klavesy");
    QTest::newRow("main block") << Qt::KeyboardModifiers(Qt::NoModifier);
    QTest::newRow("keypad") << Qt::KeyboardModifiers(Qt::KeypadModifier);
}

void EditorTest::insertAndDeleteWorkFromAnEditBox() {
    QFETCH(Qt::KeyboardModifiers, klavesy);
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    f.EditAktKomentar->setFocus();
    QTRY_VERIFY(f.EditAktKomentar->hasFocus());
    // Keys come through the window, as the keyboard delivers them.
    QWindow* okno = f.windowHandle();
    QTest::keyClick(okno, Qt::Key_Insert, klavesy);
    QTest::keyClick(okno, Qt::Key_Insert, klavesy);
    QCOMPARE(f.Klice.PocetKlicu, 2);
    QCOMPARE(f.EditAktKomentar->text(), QString("Novy klic c.2"));
    f.EditAktKomentar->setCursorPosition(0);
    o.Dialogy->Odpovedi = {true};
    QTest::keyClick(okno, Qt::Key_Delete, klavesy);
    QCOMPARE(o.Dialogy->Otazky.size(), 1);
    QCOMPARE(f.Klice.PocetKlicu, 1);
    QCOMPARE(f.Klice.klic(1).Komentar, std::string("Novy klic c.1"));  // no character deleted
    QCOMPARE(f.EditAktKomentar->text(), QString());  // the blank record after the last key
}

void EditorTest::tabLeavesTheGrid() {
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    QCOMPARE(QApplication::focusWidget(), f.TabulkaKlicu);  // where the operator starts
    pridej(o, 3);
    o.klikniNaRadek(1);
    QTRY_VERIFY(f.TabulkaKlicu->hasFocus());
    QWindow* okno = f.windowHandle();
    QTest::keyClick(okno, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.EditAktID);
    QCOMPARE(f.Klice.AktKlic, 1);
    QTest::keyClick(okno, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), f.TabulkaKlicu);
    QCOMPARE(f.Klice.AktKlic, 1);
    QCOMPARE(f.TabulkaKlicu->currentIndex().row(), 0);
    QTest::keyClick(okno, Qt::Key_Tab);
    QTest::keyClick(okno, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.EditAktKomentar);
    QCOMPARE(f.Klice.AktKlic, 1);
}

void EditorTest::upperCaseTouchesOnlyAsciiLetters() {
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    pridej(o, 1);
    for (QLineEdit* e : {f.EditAktID, f.EditDelkaKomentare}) {
        vyber(e);
        QTest::keyClick(e, Qt::Key_Backspace);
        napis(e, QString::fromUtf8("aß1µzčé"));
        QCOMPARE(e->text(), QString::fromUtf8("Aß1µZčé"));
        QCOMPARE(e->cursorPosition(), 7);
    }
}

void EditorTest::floorsAndInvert() {
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    pridej(o, 1);
    QTest::mouseClick(f.Patro[0], Qt::LeftButton);
    QTest::mouseClick(f.Patro[23], Qt::LeftButton);
    QCOMPARE(f.Klice.klic(1).Patra[0], 1);
    QCOMPARE(f.Klice.klic(1).Patra[23], 1);
    // The image follows at once, so an upload sends what the panel shows.
    QCOMPARE(f.Pamet[39], 0x01);
    QCOMPARE(f.Pamet[41], 0x80);

    f.SpeedButton10->click();
    for (int p = 1; p <= 24; ++p) {
        QCOMPARE(f.Patro[p - 1]->isChecked(), p >= 2 && p <= 23);
        QCOMPARE(f.Klice.klic(1).Patra[p - 1], (p >= 2 && p <= 23) ? 1 : 0);
    }
    QCOMPARE(f.Pamet[39], 0xFE);
    QCOMPARE(f.Pamet[40], 0xFF);
    QCOMPARE(f.Pamet[41], 0x7F);

    // A refresh that sets the boxes changes no record.
    const TKlic pred = f.Klice.klic(1);
    f.ObnovPatra(1);
    QCOMPARE(f.Klice.klic(1), pred);
}

void EditorTest::commentLengthAndCapacity_data() {
    QTest::addColumn<QString>("zadano");
    QTest::addColumn<int>("delka");
    QTest::addColumn<QString>("kapacita");
    QTest::newRow("7") << "7" << 7 << "komentare je 1925)";
    QTest::newRow("0") << "0" << 30 << "komentare je 818)";
    QTest::newRow("51") << "51" << 30 << "komentare je 818)";
    QTest::newRow("word") << "slovo" << 30 << "komentare je 818)";
    QTest::newRow("hex") << "$32" << 50 << "komentare je 545)";
}

void EditorTest::commentLengthAndCapacity() {
    QFETCH(QString, zadano);
    QFETCH(int, delka);
    QFETCH(QString, kapacita);
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    pridej(o, 1);
    QTest::mouseClick(f.CheckUkladatKomentare, Qt::LeftButton);
    QVERIFY(f.Klice.UkladatKomentare);
    vyber(f.EditDelkaKomentare);
    QTest::keyClicks(f.EditDelkaKomentare, zadano);
    QTest::keyClick(f.EditDelkaKomentare, Qt::Key_Tab);
    QCOMPARE(int(f.Klice.DelkaKomentare), delka);
    QCOMPARE(f.EditDelkaKomentare->text(), QString::number(delka));
    QCOMPARE(f.LimitKlicu->text(), kapacita);
    QCOMPARE(f.Pamet[29], delka);
    QVERIFY(o.Dialogy->Informace.isEmpty());
}

void EditorTest::capacityRefusals() {
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    f.Klice.DelkaKomentare = 50;
    pridej(o, 546);  // one more than fits with comments of 50
    QTest::mouseClick(f.CheckUkladatKomentare, Qt::LeftButton);
    QVERIFY(!f.Klice.UkladatKomentare);
    QVERIFY(!f.CheckUkladatKomentare->isChecked());
    QCOMPARE(o.Dialogy->Informace.size(), 1);
    QVERIFY(o.Dialogy->Informace[0].contains("545"));

    o.Dialogy->Odpovedi = {true};
    f.DelKeyButt();
    QTest::mouseClick(f.CheckUkladatKomentare, Qt::LeftButton);
    QVERIFY(f.Klice.UkladatKomentare);
    QCOMPARE(f.Pamet[28], 0xAA);

    f.SpeedButton7->click();  // would not fit
    QCOMPARE(f.Klice.PocetKlicu, 545);
    QCOMPARE(o.Dialogy->Informace.size(), 2);
    QVERIFY(o.Dialogy->Informace[1].contains("545"));

    f.Klice.DelkaKomentare = 10;
    vyber(f.EditDelkaKomentare);
    QTest::keyClicks(f.EditDelkaKomentare, "51");  // gives 30: 818 keys would fit
    QTest::keyClick(f.EditDelkaKomentare, Qt::Key_Tab);
    QCOMPARE(int(f.Klice.DelkaKomentare), 30);
}

void EditorTest::loadLimitField() {
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    pridej(o, 5);
    vyber(f.EditPocetKlicu);
    QTest::keyClicks(f.EditPocetKlicu, "100");
    QTest::keyClick(f.EditPocetKlicu, Qt::Key_Tab);
    QCOMPARE(f.Klice.LimitNacitani, 100);
    QCOMPARE(f.LabelPocet->text(), QString::fromUtf8("Počet klíčů (limit 100):"));
    QCOMPARE(f.EditPocetKlicu->text(), QString("5"));

    // Passing through the field without typing leaves the limit alone.
    f.EditPocetKlicu->setFocus();
    QTest::keyClick(f.EditPocetKlicu, Qt::Key_Tab);
    QCOMPARE(f.Klice.LimitNacitani, 100);

    vyber(f.EditPocetKlicu);
    QTest::keyClicks(f.EditPocetKlicu, "2000");
    QTest::keyClick(f.EditPocetKlicu, Qt::Key_Tab);
    QCOMPARE(f.LabelPocet->text(), QString::fromUtf8("Počet klíčů:"));
}

void EditorTest::newAsksBeforeClearing() {
    Okno o;
    TForm1& f = o.Form;
    pridej(o, 2);
    f.Nov1->trigger();
    QCOMPARE(o.Dialogy->Otazky, QStringList{QString::fromUtf8("Opravdu smazat veškerá data?")});
    QCOMPARE(f.Klice.PocetKlicu, 2);
    o.Dialogy->Odpovedi = {true};
    f.SpeedButton1->click();
    QCOMPARE(f.Klice.PocetKlicu, 0);
    QCOMPARE(bunka(f, 1, 0), QString());
    QCOMPARE(f.EditPocetKlicu->text(), QString("  0 "));
}

void EditorTest::addAtTheFullTableIsRefused() {
    Okno o;
    TForm1& f = o.Form;
    pridej(o, 2000);
    QCOMPARE(f.Klice.PocetKlicu, 2000);
    f.AddKeyButt();
    QCOMPARE(f.Klice.PocetKlicu, 2000);
    QCOMPARE(o.Dialogy->Informace,
             QStringList{QString::fromUtf8("Seznam klíčů je plný, další klíč nelze přidat.")});
    QCOMPARE(f.Pamet[30] * 256 + f.Pamet[31], 2000);
}

QTEST_MAIN(EditorTest)
#include "EditorTest.moc"
