// Commands of the file, unit and port menus, and the end of the application.
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QTableView>

#include "Dialogy.h"
#include "KeyGridModel.h"
#include "KeyListFile.h"
#include "KeyListPrinting.h"
#include "TForm1.h"

namespace zak {

void TForm1::LoadButtonClick() {
    const QString soubor = vyberSoubor(false);
    if (soubor.isEmpty())
        return;
    // The current keys are discarded before the file is read, whatever it holds.
    ResetAll();
    const int pocet = NactiSeznamKlicu(QFile::encodeName(soubor).toStdString(), Klice);
    ukazPocetKlicu();
    modelKlicu()->zobrazRadky(1, pocet);
    Keys2Mem();
    VyberKlic(1);
}

void TForm1::SaveButtClick() {
    const QString soubor = vyberSoubor(true);
    if (soubor.isEmpty())
        return;
    if (const auto chyba = UlozSeznamKlicu(QFile::encodeName(soubor).toStdString(), Klice))
        Dotazy->Chyba(QString::fromLocal8Bit(chyba->c_str()));
}

void TForm1::PrintButtClick() {
    QPrinter tiskarna(QPrinter::HighResolution);
    if (!Dotazy->VyberTiskarnu(tiskarna))
        return;
    const QString chyba = TiskniSeznamKlicu(&tiskarna, Klice, DatumVypisu());
    if (!chyba.isEmpty())
        Dotazy->Chyba(chyba);
}

void TForm1::DownloadButtClick() {
    Link.DownloadButtClick();
}

void TForm1::UploadButtClick() {
    Link.UploadButtClick();
}

void TForm1::btnSendCRClick() {
    Link.btnSendCRClick();
}

void TForm1::StopCommButtClick() {
    Link.StopCommButtClick();
}

void TForm1::ComboPortChange() {
    Comm321.StopComm();
    Comm321.SetCommPort(ComboPort->currentText().toStdString());
    PortOpen = false;
    // An error of the port leaves PortOpen clear and reaches the operator as a message.
    PortOpen = Comm321.StartComm();
}

void TForm1::Comm321ReceiveData(const std::uint8_t* Buffer, std::uint16_t BufferLength) {
    Link.Comm321ReceiveData(Buffer, BufferLength);
}

void TForm1::FormClose() {
    Comm321.StopComm();
}

void TForm1::closeEvent(QCloseEvent* e) {
    // The key list is not saved and nothing is asked.
    FormClose();
    e->accept();
}

void TForm1::Konec1Click() {
    Comm321.StopComm();
    QApplication::quit();
}

}  // namespace zak
