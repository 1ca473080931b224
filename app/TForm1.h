#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "Comm32.h"
#include "KeyEditor.h"
#include "KeyTable.h"
#include "MemoryImage.h"
#include "QtNotificationSink.h"
#include "SpojeniOkna.h"
#include "ZakLink.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QTabWidget;
class QTableView;
class QToolButton;

namespace zak {

class Dialogy;
class Kotva;
class KeyGridModel;
class MemoryMapModel;

// The main window of ZAK Manager. It owns the key table, the memory image and every
// control; its handlers run the operator's commands on the window's thread.
class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Replaces the message boxes (tests answer questions through this).
    void nastavDialogy(std::unique_ptr<Dialogy> dialogy);

    // Program-wide state.
    KeyTable Klice;
    MemoryImage Pamet;
    bool PortOpen = false;

    // Controls, named as in the window's layout.
    QToolButton *SpeedButton1, *SpeedButton2, *SpeedButton3, *SpeedButton9, *SpeedButton4,
        *SpeedButton5, *SpeedButton6, *SpeedButton7, *SpeedButton8, *StopCommButt;
    QMenu *Soubor1, *ZAK1, *Kl1;
    QAction *Nov1, *Otevt1, *Uloit1, *Tisk1, *Konec1, *NastzZAK1, *ZapsatdoZAK1, *Nastpiloen1,
        *Pidat1, *Smazat1;
    QProgressBar* ProgressBar;
    QTabWidget* Zalozky;
    QWidget *Klice_, *Mapa, *Komunikace, *Nastaveni;
    QTableView* TabulkaKlicu;
    QLabel *LabelPocet, *Label3, *Label4, *Label5, *LimitKlicu, *Label1;
    QLineEdit *EditPocetKlicu, *EditAktKlic, *EditAktID, *EditAktKomentar, *EditDelkaKomentare;
    std::array<QCheckBox*, PocetPater> Patro{};  // Patro1 .. Patro24
    QToolButton* SpeedButton10;
    QCheckBox* CheckUkladatKomentare;
    QTableView* MapaPameti;
    QPlainTextEdit* CommLog;
    QComboBox* ComboPort;

    // The window's serial port: 2400 Bd on the port chosen on the settings page. Its
    // notifications reach the window through the sink, which therefore comes first.
    QtNotificationSink Sink{this};
    TComm32 Comm321{Sink};
    // The device link: frames, the traffic log and the transfers, over the state above.
    SpojeniOkna Spojeni{*this};
    ZakLink Link{Klice, Pamet, Spojeni, Spojeni, Spojeni};

    KeyGridModel* modelKlicu() const { return ModelKlicu; }
    MemoryMapModel* modelMapy() const { return ModelMapy; }

    // Operations of the window over the program-wide state.
    void ObnovPatra(int n);
    void InicializujMapu();
    void Keys2Mem();
    void Mem2Keys();
    void ResetAll();
    // Selects row n of the key grid and shows key n in the panel.
    void VyberKlic(int n);

  public slots:
    // Commands.
    void ResetAllButt();
    void LoadButtonClick();
    void SaveButtClick();
    void PrintButtClick();
    void Konec1Click();
    void DownloadButtClick();
    void UploadButtClick();
    void btnSendCRClick();
    void AddKeyButt();
    void DelKeyButt();
    void StopCommButtClick();
    void SpeedButton10Click();
    // Key panel.
    void TabulkaKlicuSelectCell(int radek);
    void TabulkaKlicuExit();
    void EditAktIDExit();
    void EditAktKomentarExit();
    void EditDelkaKomentareExit();
    void EditPocetKlicuExit();
    // Floor boxes, one handler each.
    void Patro1Click();
    void Patro2Click();
    void Patro3Click();
    void Patro4Click();
    void Patro5Click();
    void Patro6Click();
    void Patro7Click();
    void Patro8Click();
    void Patro9Click();
    void Patro10Click();
    void Patro11Click();
    void Patro12Click();
    void Patro13Click();
    void Patro14Click();
    void Patro15Click();
    void Patro16Click();
    void Patro17Click();
    void Patro18Click();
    void Patro19Click();
    void Patro20Click();
    void Patro21Click();
    void Patro22Click();
    void Patro23Click();
    void Patro24Click();
    void UkladatKomentareClick();
    // Settings page.
    void ComboPortChange();
    // Serial port.
    void Comm321ReceiveData(const std::uint8_t* Buffer, std::uint16_t BufferLength);

  protected:
    friend class SpojeniOkna;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void FormCreate();
    void FormClose();
    void vytvorOvladace();
    void vytvorNastroje(QWidget* plocha);
    void vytvorNabidku();
    void vytvorStrankuKlice();
    void vytvorStrankuMapa();
    void vytvorStrankuKomunikace();
    void vytvorStrankuNastaveni();
    // Asks for a key list file with a new open or save dialog; empty when cancelled.
    QString vyberSoubor(bool ulozit);

    // Runs a handler; an error escaping it is shown in a message box and the window goes on.
    void spust(const std::function<void()>& obsluha);
    // Wraps a command: a text typed in the focused field lands first in the key it was
    // typed for, then the command runs under spust().
    std::function<void()> prikaz(void (TForm1::*obsluha)());
    void dokonciRozepsane();
    void ukazLimitNacitani();
    void ukazPocetKlicu();  // EditPocetKlicu as "%3d ", as the map initialisation shows it
    void oznamOdmitnuti(const ZmenaNastaveni& z);
    void zmenPatro(int patro);

    KeyGridModel* ModelKlicu;
    MemoryMapModel* ModelMapy;
    std::unique_ptr<Dialogy> Dotazy;
    std::vector<Kotva*> Kotvy;  // stretched controls
    bool Ukazano = false;
};

}  // namespace zak
