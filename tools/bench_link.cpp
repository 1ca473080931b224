// Measures downloads and uploads of the real window through its serial port against
// zak-sim, and how long the window's event loop is ever kept from running meanwhile.
//   bench_link <zak-sim> <keys> <baud or 0> [<keys> <baud or 0> ...]
#include <QApplication>
#include <QElapsedTimer>
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
            if (Posledni > 0)
                Nejdelsi = std::max(Nejdelsi, t - Posledni);
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
        if (t.elapsed() > limitMs)
            return false;
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// Runs one transfer to its end and prints its time, its time per block, the tool's own
// time per block beyond what the line takes, and the longest the event loop was kept busy.
void zmerPrenos(const char* co, int klicu, const char* tempo, int bloku, double linkaMs,
                const std::function<void()>& zacni, const std::function<bool()>& hotovo) {
    Hlidac hlidac;
    QElapsedTimer cas;
    cas.start();
    zacni();
    if (!cekej(hotovo, 30 * 60 * 1000)) {
        std::printf("%s of %d keys did not finish\n", co, klicu);
        return;
    }
    const double ms = static_cast<double>(cas.nsecsElapsed()) / 1e6;
    std::printf(
        "%-8s %4d keys %-8s %5d blocks: %8.1f ms, %6.1f ms/block, own overhead %5.2f "
        "ms/block, longest busy loop %.1f ms\n",
        co, klicu, tempo, bloku, ms, ms / bloku, ms / bloku - linkaMs, hlidac.nejdelsiMs());
}

void zmer(const QString& sim, int klicu, int baud, const QString& slozka) {
    KeyTable t;
    for (int n = 1; n <= klicu; ++n) {
        PridejKlic(t);
        NastavID(t, n,
                 Kod2ID({static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), 1, 2, 3,
                         4, 5}));
        t.klic(n).Patra[static_cast<std::size_t>(n % 24)] = 1;
    }
    const QString soubor = slozka + QStringLiteral("/bench%1.ZAK").arg(klicu);
    UlozSeznamKlicu(soubor.toStdString(), t);

    QProcess jednotka;
    QStringList volby{"--keys", soubor};
    if (baud > 0)
        volby << "--baud" << QString::number(baud);
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
    const char* tempo = baud > 0 ? "2400 Bd" : "unpaced";

    // The line itself: 250 ms of silence closes each reply, and zak-sim paces a reply at
    // 10 bits a byte, its first byte at once and each further one a byte time later (16
    // bytes for a block read, 2 for a write acknowledgement). It does not pace requests.
    const auto linka = [baud](int bajtu) {
        return 250.0 + (baud > 0 ? (bajtu - 1) * 10 * 1000.0 / baud : 0);
    };
    const int konec = 32 + klicu * 10;
    const std::string posledniId = t.klic(klicu).ID;
    zmerPrenos(
        "download", klicu, tempo, bloku, linka(16), [&] { okno.DownloadButtClick(); },
        [&] { return okno.Klice.klic(klicu).ID == posledniId; });
    zmerPrenos(
        "upload", klicu, tempo, bloku, linka(2), [&] { okno.UploadButtClick(); },
        [&] { return okno.Link.BlockAddr() >= konec; });
    okno.Comm321.StopComm();
    jednotka.terminate();
    jednotka.waitForFinished(5000);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // a figure as soon as it is measured
    if (argc < 4 || argc % 2 != 0) {
        std::printf("usage: bench_link <zak-sim> <keys> <baud or 0> [<keys> <baud or 0> ...]\n");
        return 2;
    }
    QTemporaryDir slozka;
    for (int i = 2; i + 1 < argc; i += 2)
        zmer(QString::fromLocal8Bit(argv[1]), std::atoi(argv[i]), std::atoi(argv[i + 1]),
             slozka.path());
    return 0;
}
