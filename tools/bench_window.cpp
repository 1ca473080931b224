// Measures window start-up and the clearing of full grids, and prints the figures.
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <cstdio>

#include "TForm1.h"

namespace {

double ms(QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

void fill(zak::TForm1& f) {
    f.Klice.PocetKlicu = zak::MaxKlicu;
    for (int n = 1; n <= zak::MaxKlicu; ++n) {
        f.Pamet.zapis(32 + 10 * (n - 1), static_cast<std::uint8_t>(n));
    }
    f.Mem2Keys();
    f.Keys2Mem();
    for (int a = 0; a < zak::VelikostPameti; ++a)
        f.Pamet.zapis(a, static_cast<std::uint8_t>(a));
}

}  // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer celkem;
    celkem.start();
    QApplication app(argc, argv);
    const int opakovani = 20;

    QElapsedTimer t;
    t.start();
    auto* f = new zak::TForm1;
    f->show();
    app.processEvents();
    std::printf("window start-up (first, incl. QApplication %.1f ms): %.1f ms\n",
                ms(celkem) - ms(t), ms(t));

    double start = 0;
    for (int i = 0; i < opakovani; ++i) {
        t.restart();
        zak::TForm1 g;
        g.show();
        app.processEvents();
        start += ms(t);
    }
    std::printf("window start-up (warm, mean of %d): %.2f ms\n", opakovani, start / opakovani);

    double reset = 0, mem2keys = 0;
    for (int i = 0; i < opakovani; ++i) {
        t.restart();
        fill(*f);
        app.processEvents();
        mem2keys += ms(t);
        t.restart();
        f->ResetAll();  // includes InicializujMapu
        app.processEvents();
        reset += ms(t);
    }
    std::printf("fill 2000 keys + 32768 map cells, Mem2Keys, Keys2Mem, repaint (mean): %.2f ms\n",
                mem2keys / opakovani);
    std::printf("ResetAll + InicializujMapu with full grids, repaint (mean): %.2f ms\n",
                reset / opakovani);
    delete f;
    return 0;
}
