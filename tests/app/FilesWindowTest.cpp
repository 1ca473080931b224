#include <sys/stat.h>
#include <QCheckBox>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>

#include "KeyEditor.h"
#include "OknoTestu.h"

using namespace zak;

// Saving, loading and printing from the window, through its dialogs.
class FilesWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void dialogsAreSetUp();
    void savedListLoadsBackIdentical();
    void loadResetsSettingsAndShowsKeyOne();
    void cancelledDialogsChangeNothing();
    void failedSaveShowsTheMessageAndKeepsTheFile();
    void printsTheListingToPdf();

  private:
    QTemporaryDir Slozka;
    QString cesta(const char* jmeno) const { return Slozka.filePath(QString::fromLatin1(jmeno)); }
};

namespace {

void naplnKlice(TForm1& f) {
    const char* komentare[] = {"Vr\xE1tn\xFD", "", "\x8Akoln\xED kancel\xE1\xF8 \"A\""};
    for (int i = 0; i < 3; ++i) {
        f.AddKeyButt();
        NastavID(f.Klice, f.Klice.AktKlic, i == 1 ? "12ab" : "0A1B2C3D4E5F60");
        NastavKomentar(f.Klice, f.Klice.AktKlic, komentare[i]);
        NastavPatro(f.Klice, f.Klice.AktKlic, 3 + i, true);
        NastavPatro(f.Klice, f.Klice.AktKlic, 24, true);
    }
    f.Keys2Mem();
}

QByteArray obsah(const QString& soubor) {
    QFile f(soubor);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

void FilesWindowTest::dialogsAreSetUp() {
    Okno o;
    o.Dialogy->Soubory = {};
    o.Form.SpeedButton2->click();
    o.Form.SpeedButton3->click();
    QCOMPARE(o.Dialogy->Dialogy.size(), 2);
    const auto& otevrit = o.Dialogy->Dialogy[0];
    const auto& ulozit = o.Dialogy->Dialogy[1];
    QCOMPARE(otevrit.rezim, QFileDialog::AcceptOpen);
    QCOMPARE(otevrit.soubory, QFileDialog::ExistingFile);  // loading would empty the table first
    QCOMPARE(otevrit.filtry, QStringList{"ZAK data (*.ZAK)"});
    QCOMPARE(ulozit.rezim, QFileDialog::AcceptSave);
    QCOMPARE(ulozit.filtry, QStringList{"ZAK data (*.ZAK)"});
    QCOMPARE(ulozit.pripona, QString("ZAK"));
    QVERIFY(ulozit.potvrzujePrepsani);
}

void FilesWindowTest::savedListLoadsBackIdentical() {
    Okno o;
    naplnKlice(o.Form);
    o.Dialogy->Soubory = {cesta("seznam.ZAK")};
    o.Form.Uloit1->trigger();
    QVERIFY(o.Dialogy->Chyby.isEmpty());

    Okno nove;
    nove.Dialogy->Soubory = {cesta("seznam.ZAK")};
    nove.Form.Otevt1->trigger();
    QCOMPARE(nove.Form.Klice.PocetKlicu, 3);
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(nove.Form.Klice.klic(n), o.Form.Klice.klic(n));
    // The image is rebuilt from the loaded keys, so it matches the saved window's.
    for (int a = 28; a < 62; ++a)
        QCOMPARE(nove.Form.Pamet[a], o.Form.Pamet[a]);
    QCOMPARE(nove.Form.TabulkaKlicu->model()->index(2, 2).data().toString(),
             QString::fromUtf8("Školní kancelář \"A\""));
}

void FilesWindowTest::loadResetsSettingsAndShowsKeyOne() {
    QFile soubor(cesta("ruka.ZAK"));
    QVERIFY(soubor.open(QIODevice::WriteOnly));
    soubor.write(
        "[Obecne]\r\nPocetKlicu=0x02\r\n[Klic0001]\r\nID=0123456789abcd\r\nPatro02=1\r\n"
        "[klic0002]\r\nkomentar=Druh\xFD\r\n");
    soubor.close();

    Okno o;
    TForm1& f = o.Form;
    naplnKlice(f);
    f.Klice.LimitNacitani = 100;
    f.Klice.DelkaKomentare = 7;
    f.Klice.UkladatKomentare = true;
    o.Dialogy->Soubory = {soubor.fileName()};
    f.LoadButtonClick();
    QCOMPARE(f.Klice.PocetKlicu, 2);
    QCOMPARE(f.Klice.LimitNacitani, 2000);
    QCOMPARE(f.Klice.DelkaKomentare, 30);
    QVERIFY(!f.Klice.UkladatKomentare);
    QCOMPARE(f.Klice.AktKlic, 1);
    QCOMPARE(f.EditAktID->text(), QString("0123456789abcd"));  // as written
    QVERIFY(f.Patro[1]->isChecked());
    QCOMPARE(f.Klice.klic(2).ID, std::string("00000000000000"));
    QCOMPARE(f.TabulkaKlicu->model()->index(1, 2).data().toString(), QString::fromUtf8("Druhý"));
    QCOMPARE(f.TabulkaKlicu->model()->index(2, 0).data().toString(), QString());  // old key 3 gone
    QCOMPARE(f.Pamet[28], 0);
    QCOMPARE(f.Pamet[31], 2);
    QCOMPARE(f.Pamet[32], 0x01);
    QCOMPARE(f.Pamet[33], 0xCD);
}

void FilesWindowTest::cancelledDialogsChangeNothing() {
    Okno o;
    naplnKlice(o.Form);
    const TKlic pred = o.Form.Klice.klic(2);
    o.Form.LoadButtonClick();
    o.Form.SaveButtClick();
    o.Form.PrintButtClick();
    QCOMPARE(o.Form.Klice.PocetKlicu, 3);
    QCOMPARE(o.Form.Klice.klic(2), pred);
    QVERIFY(o.Dialogy->Chyby.isEmpty());
}

void FilesWindowTest::failedSaveShowsTheMessageAndKeepsTheFile() {
    const QString chraneny = cesta("chraneny.ZAK");
    QFile f(chraneny);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Obecne]\r\nPocetKlicu=1\r\n; the operator's own note\r\n");
    f.close();
    QVERIFY(::chmod(QFile::encodeName(chraneny).constData(), 0444) == 0);
    const QByteArray pred = obsah(chraneny);

    Okno o;
    naplnKlice(o.Form);
    const QString chybejici = cesta("chybi/seznam.ZAK");
    o.Dialogy->Soubory = {chraneny, chybejici};
    o.Form.SaveButtClick();
    o.Form.SaveButtClick();
    QCOMPARE(o.Dialogy->Chyby,
             (QStringList{"Unable to write to " + chraneny, "Unable to write to " + chybejici}));
    QCOMPARE(obsah(chraneny), pred);
    QVERIFY(!QFile::exists(chybejici));
    QCOMPARE(o.Form.Klice.PocetKlicu, 3);
}

void FilesWindowTest::printsTheListingToPdf() {
    Okno o;
    naplnKlice(o.Form);
    o.Dialogy->Pdf = cesta("seznam.pdf");
    o.Form.Tisk1->trigger();
    QVERIFY(o.Dialogy->Chyby.isEmpty());
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", o.Dialogy->Pdf, "-"});
    QVERIFY(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    QVERIFY2(text.contains(QString::fromUtf8("ZAK1 - seznam přístupových klíčů:")),
             qPrintable(text));
    QVERIFY(text.contains(QRegularExpression("2\\.\\s+12AB0000000000")));
    QVERIFY(text.contains(QString::fromUtf8("Zpřístupněna patra č.: 5,24,")));
}

QTEST_MAIN(FilesWindowTest)
#include "FilesWindowTest.moc"
