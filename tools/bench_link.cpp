// Measures downloads and uploads of the real window through its serial port against
// zak-sim, and how long the window's event loop is ever kept from running meanwhile.
//   bench_link <zak-sim> <keys> <baud or 0> [<keys> <baud or 0> ...]
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "KeyEditor.h"
#include "KeyListFile.h"
#include "TForm1.h"

namespace {

using namespace zak;

// Longest gap between two runs of a 5 ms timer: how long the loop was kept busy.
class Hlidac : public QObject {
  public:
    Hlidac() {
        connect(&Casovac, &QTimer::timeout, this, [this] {
            const qint64 t = Hodiny.nsecsElapsed();
            if (Posledni > 0) Nejdelsi = std::max(Nejdelsi, t - Posledni);
            Posledni = t;
        });
        Hodiny.start();
        Casovac.start(5);
    }
    double nejdelsiMs() const { return static_cast<double>(Nejdelsi) / 1e6; }

  private:
    QTimer Casovac;
    QElapsedTimer Hodiny;
    qint64 Posledni = 0;
    qint64 Nejdelsi = 0;
};

bool cekej(const std::function<bool()>& hotovo, int limitMs) {
    QElapsedTimer t;
    t.start();
    while (!hotovo()) {
        if (t.elapsed() > limitMs) return false;
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

void zmer(const QString& sim, int klicu, int baud, const QString& slozka) {
    KeyTable t;
    for (int n = 1; n <= klicu; ++n) {
        PridejKlic(t);
        NastavID(t, n, Kod2ID({static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), 1, 2, 3, 4, 5}));
        t.klic(n).Patra[static_cast<std::size_t>(n % 24)] = 1;
    }
    const QString soubor = slozka + QStringLiteral("/bench%1.ZAK").arg(klicu);
    UlozSeznamKlicu(soubor.toStdString(), t);

    QProcess jednotka;
    QStringList volby{"--keys", soubor};
    if (baud > 0) volby << "--baud" << QString::number(baud);
    jednotka.start(sim, volby);
    if (!jednotka.waitForReadyRead(10000)) {
        std::printf("zak-sim did not start\n");
        return;
    }
    const QByteArray radek = jednotka.readLine().trimmed();
    qputenv("ZAK_COM1", radek.mid(radek.indexOf('=') + 1));

    TForm1 okno;
    okno.show();
    const int bloku = (32 + klicu * 10 - 28 + 13) / 14;
    const int limit = 30 * 60 * 1000;
    const char* tempo = baud > 0 ? "2400 Bd" : "unpaced";

    Hlidac hlidac;
    QElapsedTimer cas;
    cas.start();
    okno.DownloadButtClick();
    const std::string posledniId = t.klic(klicu).ID;
    if (!cekej([&] { return okno.Klice.klic(klicu).ID == posledniId; }, limit)) {
        std::printf("download of %d keys did not finish\n", klicu);
        return;
    }
    const double stazeni = static_cast<double>(cas.nsecsElapsed()) / 1e6;
    // The line itself: 250 ms of silence closes each reply, and a paced reply of 16 bytes
    // takes 16 x 10 bits at the line's speed.
    const double linkaCteni = 250.0 + (baud > 0 ? 16 * 10 * 1000.0 / baud : 0);
    std::printf("download %4d keys %-8s %5d blocks: %8.1f ms, %6.1f ms/block, own overhead %5.2f ms/block, longest busy loop %.1f ms\n",
                klicu, tempo, bloku, stazeni, stazeni / bloku, stazeni / bloku - linkaCteni,
                hlidac.nejdelsiMs());

    Hlidac hlidac2;
    const int potvrzeniPred = okno.CommLog->toPlainText().count(QStringLiteral("<- 10 EF"));
    cas.restart();
    okno.UploadButtClick();
    if (!cekej([&] {
            return okno.CommLog->toPlainText().count(QStringLiteral("<- 10 EF")) - potvrzeniPred >= bloku;
        }, limit)) {
        std::printf("upload of %d keys did not finish\n", klicu);
        return;
    }
    const double nahrani = static_cast<double>(cas.nsecsElapsed()) / 1e6;
    const double linkaZapis = 250.0 + (baud > 0 ? 2 * 10 * 1000.0 / baud : 0);
    std::printf("upload   %4d keys %-8s %5d blocks: %8.1f ms, %6.1f ms/block, own overhead %5.2f ms/block, longest busy loop %.1f ms\n",
                klicu, tempo, bloku, nahrani, nahrani / bloku, nahrani / bloku - linkaZapis,
                hlidac2.nejdelsiMs());
    okno.Comm321.StopComm();
    jednotka.terminate();
    jednotka.waitForFinished(5000);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 4 || argc % 2 != 0) {
        std::printf("usage: bench_link <zak-sim> <keys> <baud or 0> [<keys> <baud or 0> ...]\n");
        return 2;
    }
    QTemporaryDir slozka;
    for (int i = 2; i + 1 < argc; i += 2)
        zmer(QString::fromLocal8Bit(argv[1]), std::atoi(argv[i]), std::atoi(argv[i + 1]), slozka.path());
    return 0;
}
