#include <QCheckBox>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "KeyEditor.h"
#include "KeyListFile.h"
#include "OknoTestu.h"
#include "SimProcess.h"

using namespace zak;
using zak::test::SimProcess;

// The real window, through the real serial component, against the simulated unit on a
// pseudo-terminal. Bursts end with 250 ms of silence, so each test takes a few seconds.
class EndToEndTest : public QObject {
    Q_OBJECT
  private slots:
    void downloadFillsTheKeysFromTheUnit();
    void uploadWritesTheUnitsMemory();
    void lastKeyIsFoundOrAppended();
    void checksumErrorStallsAndACommandRecovers();
    void anEditDuringADownloadLeavesItsBlocksAlone();
};

namespace {

constexpr int kTrpelivost = 20000;  // ms; a limit for the line, not a measurement

// Starts the unit and points the window's COM1 at it.
std::unique_ptr<SimProcess> spustJednotku(std::vector<std::string> volby = {}) {
    std::vector<std::string> args{ZAK_SIM_PATH};
    args.insert(args.end(), volby.begin(), volby.end());
    auto sim = std::make_unique<SimProcess>(args);
    const std::string radek = sim->firstLine();
    const auto rovnase = radek.find('=');
    if (radek.rfind("ZAK_COM1=", 0) != 0)
        return nullptr;
    qputenv("ZAK_COM1", QByteArray::fromStdString(radek.substr(rovnase + 1)));
    return sim;
}

std::string pamet(SimProcess& sim, int od, int pocet) {
    return sim.command("peek " + std::to_string(od) + " " + std::to_string(pocet));
}

std::string pametOkna(TForm1& f, int od, int pocet) {
    std::string s;
    char buf[4];
    for (int a = od; a < od + pocet; ++a) {
        std::snprintf(buf, sizeof buf, "%.2X", f.Pamet[a]);
        if (!s.empty())
            s += ' ';
        s += buf;
    }
    return s;
}

bool logObsahuje(TForm1& f, const QString& text) {
    return f.CommLog->toPlainText().contains(text);
}

}  // namespace

void EndToEndTest::downloadFillsTheKeysFromTheUnit() {
    auto sim = spustJednotku({"--keys", ZAK_SIM_SAMPLE, "--comments", "--comment-length", "20"});
    QVERIFY(sim);
    KeyTable ocekavane;
    NactiSeznamKlicu(ZAK_SIM_SAMPLE, ocekavane);

    Okno o;
    TForm1& f = o.Form;
    f.NastzZAK1->trigger();
    QVERIFY(f.PortOpen);
    QVERIFY(logObsahuje(f, "-> 01 00 1C 0E EC "));
    // The keys change only when the last block has come.
    QTRY_COMPARE_WITH_TIMEOUT(f.Klice.klic(1).ID, std::string("0A1B2C3D4E5F60"), kTrpelivost);
    QCOMPARE(f.ProgressBar->value(), 0);
    QCOMPARE(int(f.Klice.PocetKlicu), int(ocekavane.PocetKlicu));
    QVERIFY(f.Klice.UkladatKomentare);
    QCOMPARE(int(f.Klice.DelkaKomentare), 20);
    for (int n = 1; n <= ocekavane.PocetKlicu; ++n) {
        const TKlic& k = f.Klice.klic(n);
        QCOMPARE(k.Kod, ocekavane.klic(n).Kod);
        QCOMPARE(k.Patra, ocekavane.klic(n).Patra);
        std::string komentar = ocekavane.klic(n).Komentar.substr(0, 20);
        komentar.resize(20, ' ');
        QCOMPARE(k.Komentar, komentar);
    }
    QCOMPARE(f.Klice.AktKlic, 1);
    QVERIFY(logObsahuje(f, ": CRC OK"));
    QVERIFY(!logObsahuje(f, "CRC ERROR"));
    // The map shows every byte that came.
    QCOMPARE(f.MapaPameti->model()->index(1, 12).data().toString(), QString::fromUtf8("AA Ş"));
}

void EndToEndTest::uploadWritesTheUnitsMemory() {
    auto sim = spustJednotku();
    QVERIFY(sim);
    Okno o;
    TForm1& f = o.Form;
    for (int i = 0; i < 3; ++i)
        f.AddKeyButt();
    NastavID(f.Klice, 2, "0A1B2C3D4E5F60");
    NastavPatro(f.Klice, 3, 24, true);
    f.Keys2Mem();
    f.ZapsatdoZAK1->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(logObsahuje(f, "<- 10 EF : CRC OK"), kTrpelivost);
    QTRY_COMPARE_WITH_TIMEOUT(f.ProgressBar->value(), 0, kTrpelivost);
    // 3 keys end at 62: blocks from 28, 42 and 56 (to 69) went out.
    QTRY_VERIFY_WITH_TIMEOUT(f.CommLog->toPlainText().count("-> 02 ") == 3, kTrpelivost);
    QCOMPARE(pamet(*sim, 28, 42), pametOkna(f, 28, 42));
    QCOMPARE(pamet(*sim, 42, 7), std::string("0A 60 5F 4E 3D 2C 1B"));
}

void EndToEndTest::lastKeyIsFoundOrAppended() {
    auto sim = spustJednotku();
    QVERIFY(sim);
    Okno o;
    TForm1& f = o.Form;
    f.AddKeyButt();
    NastavID(f.Klice, 1, "0A1B2C3D4E5F60");
    f.Keys2Mem();

    QCOMPARE(sim->command("present 112233445566AA"), std::string("ok"));
    f.Nastpiloen1->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(int(f.Klice.PocetKlicu), 2, kTrpelivost);
    QCOMPARE(f.Klice.klic(2).ID, std::string("112233445566AA"));
    QCOMPARE(f.Klice.klic(2).Komentar, std::string("Novy klic c.2"));
    QCOMPARE(f.Klice.AktKlic, 2);
    QCOMPARE(pametOkna(f, 42, 7), std::string("11 AA 66 55 44 33 22"));  // the unit's order

    QCOMPARE(sim->command("present 0A1B2C3D4E5F60"), std::string("ok"));
    f.btnSendCRClick();
    QTRY_COMPARE_WITH_TIMEOUT(o.Dialogy->Informace.size(), 1, kTrpelivost);
    QCOMPARE(o.Dialogy->Informace[0], QString::fromUtf8("Klíč nalezen v databázi."));
    QCOMPARE(f.Klice.AktKlic, 1);
    QCOMPARE(int(f.Klice.PocetKlicu), 2);

    f.btnSendCRClick();
    QTRY_COMPARE_WITH_TIMEOUT(o.Dialogy->Informace.size(), 2, kTrpelivost);
    QCOMPARE(o.Dialogy->Informace[1], QString::fromUtf8("Nebyl nově přiložen žádný klíč."));
}

void EndToEndTest::checksumErrorStallsAndACommandRecovers() {
    auto sim = spustJednotku({"--keys", ZAK_SIM_SAMPLE});
    QVERIFY(sim);
    QCOMPARE(sim->command("at 2 corrupt"), std::string("ok"));
    Okno o;
    TForm1& f = o.Form;
    f.DownloadButtClick();
    QTRY_VERIFY_WITH_TIMEOUT(logObsahuje(f, ": CRC ERROR!"), kTrpelivost);
    QTest::qWait(600);  // the transfer stands still: nothing follows the bad reply
    QCOMPARE(f.CommLog->toPlainText().count("-> 01 "), 2);
    QCOMPARE(int(f.Klice.klic(1).ID.size()), 0);

    f.DownloadButtClick();  // starts over from address 28
    QTRY_COMPARE_WITH_TIMEOUT(f.Klice.klic(1).ID, std::string("0A1B2C3D4E5F60"), kTrpelivost);
    QCOMPARE(int(f.Klice.PocetKlicu), 5);
    QCOMPARE(f.ProgressBar->value(), 0);
    QCOMPARE(f.Klice.klic(5).Komentar, std::string("Klic c. 5"));
}

void EndToEndTest::anEditDuringADownloadLeavesItsBlocksAlone() {
    auto sim = spustJednotku({"--keys", ZAK_SIM_SAMPLE});
    QVERIFY(sim);
    KeyTable ocekavane;
    NactiSeznamKlicu(ZAK_SIM_SAMPLE, ocekavane);
    Okno o;
    TForm1& f = o.Form;
    f.DownloadButtClick();
    // The first block has set the key count; three more are to come when the operator adds a
    // key and ticks a floor box of it.
    QTRY_VERIFY_WITH_TIMEOUT(logObsahuje(f, "<- 11 "), kTrpelivost);
    QCOMPARE(int(f.Klice.PocetKlicu), 5);
    f.Pidat1->trigger();
    QCOMPARE(int(f.Klice.AktKlic), 6);
    f.Patro[4]->click();

    QTRY_COMPARE_WITH_TIMEOUT(f.CommLog->toPlainText().count("<- 11 "), 4, kTrpelivost);
    QCOMPARE(pametOkna(f, 28, 54), pamet(*sim, 28, 54));
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(f.Klice.klic(n).Kod, ocekavane.klic(n).Kod);
        QCOMPARE(f.Klice.klic(n).Patra, ocekavane.klic(n).Patra);
    }
}

QTEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"
