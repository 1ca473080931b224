// Renders the main window with a few keys into a PNG file (for the README).
#include <QApplication>
#include <QTableView>
#include <QTimer>

#include "KeyEditor.h"
#include "TForm1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString soubor = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("okno.png");
    zak::TForm1 f;
    const char* klice[][2] = {{"0A1B2C3D4E5F60", "Vr\xE1tn\xFD"},
                              {"12AB00FF000001", "Byt 3.02 Nov\xE1kovi"},
                              {"44E1C0DE000A0B", "\xDAklid"}};
    for (const auto& k : klice) {
        f.AddKeyButt();
        zak::NastavID(f.Klice, f.Klice.AktKlic, k[0]);
        zak::NastavKomentar(f.Klice, f.Klice.AktKlic, k[1]);
    }
    f.Klice.klic(1).Patra = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                             1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    f.Klice.klic(2).Patra[0] = f.Klice.klic(2).Patra[3] = 1;
    f.Klice.klic(3).Patra[0] = 1;
    f.Keys2Mem();
    f.TabulkaKlicu->selectRow(1);
    f.show();
    QTimer::singleShot(300, [&] {
        f.TabulkaKlicu->scrollToTop();
        f.grab().save(soubor);
        app.quit();
    });
    return app.exec();
}
