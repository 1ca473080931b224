// Handlers of the key page and of the New, add and delete commands.
#include <QCheckBox>
#include <QLineEdit>
#include <QTableView>

#include "Dialogy.h"
#include "KeyEditor.h"
#include "KeyGridModel.h"
#include "Kodovani.h"
#include "LinkMessages.h"
#include "TForm1.h"

namespace zak {

void TForm1::oznamOdmitnuti(const ZmenaNastaveni& z) {
    Dotazy->Informuj(QString::fromUtf8("S uloženými komentáři této délky se do paměti ZAK vejde "
                                       "nejvýše %1 klíčů, seznam jich má %2.")
                         .arg(z.kapacita)
                         .arg(Klice.PocetKlicu));
}

void TForm1::TabulkaKlicuSelectCell(int radek) {
    ObnovPatra(radek);
}

void TForm1::TabulkaKlicuExit() {
    Keys2Mem();
}

void TForm1::EditAktIDExit() {
    const int n = Klice.AktKlic;
    if (!Klice.jeKlic(n))
        return;
    // Untouched text is taken from the record itself, so its bytes stay exact.
    const std::string text =
        EditAktID->isModified() ? doCp1250(EditAktID->text()) : Klice.klic(n).ID;
    NastavID(Klice, n, text);
    EditAktID->setText(zCp1250(Klice.klic(n).ID));
    modelKlicu()->zobrazRadky(n, n);
    Keys2Mem();
}

void TForm1::EditAktKomentarExit() {
    const int n = Klice.AktKlic;
    if (!Klice.jeKlic(n))
        return;
    if (EditAktKomentar->isModified()) {
        NastavKomentar(Klice, n, doCp1250(EditAktKomentar->text()));
        EditAktKomentar->setModified(false);
    }
    modelKlicu()->zobrazRadky(n, n);
    Keys2Mem();
}

void TForm1::EditDelkaKomentareExit() {
    const ZmenaNastaveni z = NastavDelkuKomentare(Klice, doCp1250(EditDelkaKomentare->text()));
    if (!z.prijata)
        oznamOdmitnuti(z);
    ObnovPatra(Klice.AktKlic);
    Keys2Mem();
}

void TForm1::EditPocetKlicuExit() {
    // Only a limit the operator typed counts; the key count shown in the field is not one.
    if (EditPocetKlicu->isModified())
        NastavLimitNacitani(Klice, doCp1250(EditPocetKlicu->text()));
    ukazLimitNacitani();
    EditPocetKlicu->setText(QString::number(Klice.PocetKlicu));
}

void TForm1::zmenPatro(int patro) {
    const bool povoleno = Patro[static_cast<std::size_t>(patro - 1)]->isChecked();
    if (!NastavPatro(Klice, Klice.AktKlic, patro, povoleno))
        return;
    // Converted at once, so that an upload sends the floors the panel shows.
    Keys2Mem();
}

void TForm1::Patro1Click() {
    zmenPatro(1);
}
void TForm1::Patro2Click() {
    zmenPatro(2);
}
void TForm1::Patro3Click() {
    zmenPatro(3);
}
void TForm1::Patro4Click() {
    zmenPatro(4);
}
void TForm1::Patro5Click() {
    zmenPatro(5);
}
void TForm1::Patro6Click() {
    zmenPatro(6);
}
void TForm1::Patro7Click() {
    zmenPatro(7);
}
void TForm1::Patro8Click() {
    zmenPatro(8);
}
void TForm1::Patro9Click() {
    zmenPatro(9);
}
void TForm1::Patro10Click() {
    zmenPatro(10);
}
void TForm1::Patro11Click() {
    zmenPatro(11);
}
void TForm1::Patro12Click() {
    zmenPatro(12);
}
void TForm1::Patro13Click() {
    zmenPatro(13);
}
void TForm1::Patro14Click() {
    zmenPatro(14);
}
void TForm1::Patro15Click() {
    zmenPatro(15);
}
void TForm1::Patro16Click() {
    zmenPatro(16);
}
void TForm1::Patro17Click() {
    zmenPatro(17);
}
void TForm1::Patro18Click() {
    zmenPatro(18);
}
void TForm1::Patro19Click() {
    zmenPatro(19);
}
void TForm1::Patro20Click() {
    zmenPatro(20);
}
void TForm1::Patro21Click() {
    zmenPatro(21);
}
void TForm1::Patro22Click() {
    zmenPatro(22);
}
void TForm1::Patro23Click() {
    zmenPatro(23);
}
void TForm1::Patro24Click() {
    zmenPatro(24);
}

void TForm1::UkladatKomentareClick() {
    const ZmenaNastaveni z = NastavUkladatKomentare(Klice, CheckUkladatKomentare->isChecked());
    if (!z.prijata) {
        CheckUkladatKomentare->setChecked(Klice.UkladatKomentare);
        oznamOdmitnuti(z);
    }
    Keys2Mem();
}

void TForm1::SpeedButton10Click() {
    if (!InvertujPatra(Klice, Klice.AktKlic))
        return;
    ObnovPatra(Klice.AktKlic);
    Keys2Mem();
}

void TForm1::AddKeyButt() {
    const int n = PridejKlic(Klice);
    if (n == 0) {
        Dotazy->Informuj(QString::fromStdString(TableFullMessage(Klice)));
        return;
    }
    Klice.AktKlic = static_cast<std::uint16_t>(n);
    TabulkaKlicu->setCurrentIndex(modelKlicu()->index(n - 1, 0));
    modelKlicu()->zobrazRadky(n, n);
    ObnovPatra(n);
    Keys2Mem();
}

void TForm1::DelKeyButt() {
    if (!Klice.jeKlic(Klice.AktKlic))
        return;
    if (!Dotazy->Potvrd(QString::fromUtf8("Opravdu smazat data klíče?")))
        return;
    // The box let received data and other handlers run: act on the state of now.
    const int n = Klice.AktKlic;
    const int posledni = Klice.PocetKlicu;
    if (!SmazKlic(Klice, n))
        return;
    modelKlicu()->zobrazRadky(n, posledni - 1);
    modelKlicu()->vyprazdniRadek(posledni);
    ObnovPatra(n);
    InicializujMapu();
    Keys2Mem();
}

void TForm1::ResetAllButt() {
    if (Dotazy->Potvrd(QString::fromUtf8("Opravdu smazat veškerá data?")))
        ResetAll();
}

}  // namespace zak
