// The key panel, the memory map and the conversions between table and image.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include "KeyConversion.h"
#include "KeyGridModel.h"
#include "Kodovani.h"
#include "MemoryMapModel.h"
#include "TForm1.h"

namespace zak {

void TForm1::ObnovPatra(int n) {
    if (n == 0)
        n = TabulkaKlicu->currentIndex().isValid() ? TabulkaKlicu->currentIndex().row() + 1 : 0;
    ukazLimitNacitani();
    LimitKlicu->setText(QStringLiteral("komentare je %1)").arg(Kapacita(Klice.DelkaKomentare)));
    LimitKlicu->adjustSize();
    EditPocetKlicu->setText(QString::number(Klice.PocetKlicu));
    EditDelkaKomentare->setText(QString::number(Klice.DelkaKomentare));
    CheckUkladatKomentare->setChecked(Klice.UkladatKomentare);
    // The current key is set before the boxes: they write into record AktKlic.
    Klice.AktKlic = static_cast<std::uint16_t>(n);
    EditAktKlic->setText(QStringLiteral("#%1").arg(n));
    const TKlic& k = Klice.klic(n);
    EditAktID->setText(zCp1250(k.ID));
    EditAktKomentar->setText(zCp1250(k.Komentar));
    for (int p = 0; p < PocetPater; ++p)
        Patro[static_cast<std::size_t>(p)]->setChecked(k.Patra[static_cast<std::size_t>(p)] == 1);
}

void TForm1::ukazLimitNacitani() {
    LabelPocet->setText(
        Klice.LimitNacitani == VychoziLimitNacitani
            ? QString::fromUtf8("Počet klíčů:")
            : QString::fromUtf8("Počet klíčů (limit %1):").arg(Klice.LimitNacitani));
    LabelPocet->adjustSize();
}

void TForm1::ukazPocetKlicu() {
    EditPocetKlicu->setText(QString::asprintf("%3d ", Klice.PocetKlicu));
}

void TForm1::VyberKlic(int n) {
    TabulkaKlicu->setCurrentIndex(modelKlicu()->index(n - 1, 0));
    ObnovPatra(n);
}

void TForm1::InicializujMapu() {
    // The headings of the map and of the key grid are fixed texts of their models.
    Pamet.vyprazdniMapu();
    modelMapy()->obnovZmeny();
    ukazPocetKlicu();
}

void TForm1::Keys2Mem() {
    // A download's blocks are not overwritten; it ends with Mem2Keys, or its stall lets the
    // next edit write the image.
    if (Link.DownloadHoldsImage())
        return;
    zak::Keys2Mem(Klice, Pamet);
    modelMapy()->obnovZmeny();
}

void TForm1::Mem2Keys() {
    ukazPocetKlicu();
    zak::Mem2Keys(Pamet, Klice);
    modelKlicu()->zobrazRadky(1, PocetVPameti(Klice));
    VyberKlic(1);
}

void TForm1::ResetAll() {
    Klice.vymazVse();
    modelKlicu()->vyprazdniVse();
    Link.ClearStopRequest();
    Pamet.vynuluj();
    VyberKlic(1);
    TabulkaKlicu->scrollToTop();
    InicializujMapu();
}

}  // namespace zak
