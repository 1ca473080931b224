#include "SpojeniOkna.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include "Dialogy.h"
#include "KeyGridModel.h"
#include "Kodovani.h"
#include "MemoryMapModel.h"
#include "TForm1.h"

namespace zak {

bool SpojeniOkna::EnsureOpen() {
    // The first frame opens the port; a port change may have opened it already.
    if (!Okno.PortOpen) {
        if (!Okno.Comm321.StartComm())
            return false;
        Okno.PortOpen = true;
    }
    return true;
}

void SpojeniOkna::Comm321RequestHangup() {
    // A dead descriptor would keep the old device number while the adapter comes back under
    // the same name (or its /dev/serial/by-id link); if it does not come back, the next frame
    // reports the missing port as any open does. Nothing is shown now.
    Okno.Comm321.StopComm();
    Okno.PortOpen = false;
}

void SpojeniOkna::QueueByte(std::uint8_t byte) {
    Okno.Comm321.WriteCommData(&byte, 1);
}

void SpojeniOkna::AppendLog(const std::string& line) {
    Okno.CommLog->appendPlainText(
        QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    QScrollBar* posuvnik = Okno.CommLog->verticalScrollBar();
    posuvnik->setValue(posuvnik->maximum());
}

void SpojeniOkna::ShowProgress(int maximum, int position) {
    Okno.ProgressBar->setRange(0, maximum);
    Okno.ProgressBar->setValue(position);
}

void SpojeniOkna::ImageChanged() {
    Okno.modelMapy()->obnovZmeny();
}

void SpojeniOkna::DownloadFinished() {
    Okno.Mem2Keys();
}

void SpojeniOkna::KeysToImage() {
    Okno.Keys2Mem();
}

void SpojeniOkna::ShowKey(int n) {
    Okno.VyberKlic(n);
}

void SpojeniOkna::ShowKeyRow(int n) {
    Okno.modelKlicu()->zobrazRadky(n, n);
}

void SpojeniOkna::ShowPresentedId(const std::string& id) {
    Okno.EditAktID->setText(zCp1250(id));
}

void SpojeniOkna::Inform(const std::string& text) {
    Okno.Dotazy->Informuj(QString::fromStdString(text));
}

LinkClock::TimePoint SpojeniOkna::Now() {
    return std::chrono::steady_clock::now();
}

void SpojeniOkna::CallTickAfter(std::chrono::milliseconds delay) {
    QTimer::singleShot(delay, &Okno, [this] { Okno.spust([this] { Okno.Link.Tick(); }); });
}

}  // namespace zak
