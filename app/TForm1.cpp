#include "TForm1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include "CitelneBunky.h"
#include "Dialogy.h"
#include "IkonyNastroju.h"
#include "KeyEditor.h"
#include "KeyGridModel.h"
#include "Kotvy.h"
#include "MemoryMapModel.h"

namespace zak {

namespace {

// The window's client area below the menu at the start.
const QSize kPlocha(556, 570);

QLabel* popisek(QWidget* rodic, const char* text, int x, int y) {
    auto* l = new QLabel(QString::fromUtf8(text), rodic);
    l->move(x, y);
    l->adjustSize();
    return l;
}

const std::array<void (TForm1::*)(), PocetPater> kPatroClick = {
    &TForm1::Patro1Click,  &TForm1::Patro2Click,  &TForm1::Patro3Click,  &TForm1::Patro4Click,
    &TForm1::Patro5Click,  &TForm1::Patro6Click,  &TForm1::Patro7Click,  &TForm1::Patro8Click,
    &TForm1::Patro9Click,  &TForm1::Patro10Click, &TForm1::Patro11Click, &TForm1::Patro12Click,
    &TForm1::Patro13Click, &TForm1::Patro14Click, &TForm1::Patro15Click, &TForm1::Patro16Click,
    &TForm1::Patro17Click, &TForm1::Patro18Click, &TForm1::Patro19Click, &TForm1::Patro20Click,
    &TForm1::Patro21Click, &TForm1::Patro22Click, &TForm1::Patro23Click, &TForm1::Patro24Click,
};

// The width an edit gives its text: its contents less the text margins and the two
// pixels the edit keeps on each side.
int sirkaTextu(QLineEdit* e) {
    QStyleOptionFrame volby;
    volby.initFrom(e);
    volby.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &volby, e);
    const QRect obsah = e->style()->subElementRect(QStyle::SE_LineEditContents, &volby, e);
    const QMargins okraje = e->textMargins();
    return obsah.width() - okraje.left() - okraje.right() - 2 * 2;
}

enum class Pismena { JakZadana, Velka };

QLineEdit* pole(QWidget* rodic, const QString& jmeno, QRect kde,
                Pismena pismena = Pismena::JakZadana) {
    auto* e = new QLineEdit(rodic);
    e->setObjectName(jmeno);
    e->setGeometry(kde);
    if (pismena == Pismena::Velka) {
        // Letters a to z the operator types are shown in upper case, every other
        // character as typed; text the window puts in the field is shown as the key holds it.
        QObject::connect(e, &QLineEdit::textEdited, e, [e](const QString& text) {
            QString velka = text;
            for (QChar& c : velka)
                if (c.unicode() < 0x80)
                    c = QLatin1Char(VelkePismeno(static_cast<char>(c.unicode())));
            if (velka == text)
                return;
            const int kurzor = e->cursorPosition();
            e->setText(velka);
            e->setCursorPosition(kurzor);
            e->setModified(true);  // setText cleared it, but the operator typed this
        });
    }
    return e;
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), Dotazy(new OknaDialogu(this)) {
    setObjectName(QStringLiteral("Form1"));
    vytvorOvladace();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::nastavDialogy(std::unique_ptr<Dialogy> dialogy) {
    Dotazy = std::move(dialogy);
}

void TForm1::vytvorOvladace() {
    setWindowTitle(QStringLiteral("ZAK Manager v.0.1"));
    // "MS Sans Serif" 8 pt; where it is missing, a sans face of similar width.
    QFont pismo;
    pismo.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                       QStringLiteral("Arial")});
    pismo.setPixelSize(11);
    setFont(pismo);
    setBackgroundRole(QPalette::Button);

    auto* plocha = new QWidget(this);
    setCentralWidget(plocha);
    vytvorNastroje(plocha);
    vytvorNabidku();

    ProgressBar = new QProgressBar(plocha);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(8, 41, 543, 9);
    ProgressBar->setRange(0, 20032);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    Kotvy.push_back(Kotva::ukotvi(ProgressBar, true, false));

    Zalozky = new QTabWidget(plocha);
    Zalozky->setObjectName(QStringLiteral("Zalozky"));
    Zalozky->setGeometry(8, 56, 543, 510);
    Kotvy.push_back(Kotva::ukotvi(Zalozky, true, true));
    vytvorStrankuKlice();
    vytvorStrankuMapa();
    vytvorStrankuKomunikace();
    vytvorStrankuNastaveni();
    Zalozky->setCurrentWidget(Klice_);

    resize(kPlocha.width(), kPlocha.height() + menuBar()->sizeHint().height());
    move(261, 101);
}

void TForm1::vytvorNastroje(QWidget* plocha) {
    struct Tlacitko {
        QToolButton** kam;
        const char* jmeno;
        int x;
        Ikona ikona;
        const char* napoveda;
        void (TForm1::*obsluha)();
    };
    const Tlacitko tlacitka[] = {
        {&SpeedButton1, "SpeedButton1", 8, Ikona::Novy, "Vyčistit soubor", &TForm1::ResetAllButt},
        {&SpeedButton2, "SpeedButton2", 32, Ikona::Otevrit, "Načíst ze souboru",
         &TForm1::LoadButtonClick},
        {&SpeedButton3, "SpeedButton3", 56, Ikona::Ulozit, "Uložit do souboru",
         &TForm1::SaveButtClick},
        {&SpeedButton9, "SpeedButton9", 80, Ikona::Tisk, "", &TForm1::PrintButtClick},
        {&SpeedButton4, "SpeedButton4", 120, Ikona::NacistZZak, "Načíst z ZAK",
         &TForm1::DownloadButtClick},
        {&SpeedButton5, "SpeedButton5", 144, Ikona::ZapsatDoZak, "Nahrát do ZAK",
         &TForm1::UploadButtClick},
        {&SpeedButton6, "SpeedButton6", 184, Ikona::PosledniKlic, "Posledně přiložený klíč",
         &TForm1::btnSendCRClick},
        {&SpeedButton7, "SpeedButton7", 208, Ikona::PridatKlic, "Přidat klíč", &TForm1::AddKeyButt},
        {&SpeedButton8, "SpeedButton8", 232, Ikona::SmazatKlic, "Smazat klíč", &TForm1::DelKeyButt},
        {&StopCommButt, "StopCommButt", 272, Ikona::Prerusit, "Přerušit komunikaci",
         &TForm1::StopCommButtClick},
    };
    for (const Tlacitko& t : tlacitka) {
        auto* b = new QToolButton(plocha);
        b->setObjectName(QString::fromLatin1(t.jmeno));
        b->setGeometry(t.x, 8, 25, 25);
        b->setIcon(ikonaNastroje(t.ikona));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);  // pressing one leaves the keyboard focus where it is
        b->setToolTip(QString::fromUtf8(t.napoveda));
        const auto spustit = prikaz(t.obsluha);
        connect(b, &QToolButton::clicked, this, [spustit] { spustit(); });
        *t.kam = b;
    }
}

void TForm1::vytvorNabidku() {
    auto polozka = [this](QMenu* menu, QAction** kam, const char* jmeno, const char* text,
                          QKeySequence zkratka, void (TForm1::*obsluha)()) {
        QAction* a = menu->addAction(QString::fromUtf8(text));
        a->setObjectName(QString::fromLatin1(jmeno));
        a->setShortcut(zkratka);
        const auto spustit = prikaz(obsluha);
        connect(a, &QAction::triggered, this, [spustit] { spustit(); });
        *kam = a;
    };
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    Soubor1 = menuBar()->addMenu(QStringLiteral("&Soubor"));
    Soubor1->setObjectName(QStringLiteral("Soubor1"));
    polozka(Soubor1, &Nov1, "Nov1", "&Nový", QKeySequence(Qt::CTRL | Qt::Key_N),
            &TForm1::ResetAllButt);
    polozka(Soubor1, &Otevt1, "Otevt1", "&Otevřít...", QKeySequence(Qt::CTRL | Qt::Key_O),
            &TForm1::LoadButtonClick);
    polozka(Soubor1, &Uloit1, "Uloit1", "&Uložit...", QKeySequence(Qt::CTRL | Qt::Key_S),
            &TForm1::SaveButtClick);
    Soubor1->addSeparator()->setObjectName(QStringLiteral("N2"));
    polozka(Soubor1, &Tisk1, "Tisk1", "&Tisk...", QKeySequence(Qt::CTRL | Qt::Key_P),
            &TForm1::PrintButtClick);
    Soubor1->addSeparator()->setObjectName(QStringLiteral("N1"));
    polozka(Soubor1, &Konec1, "Konec1", "&Konec", QKeySequence(), &TForm1::Konec1Click);

    ZAK1 = menuBar()->addMenu(QStringLiteral("&ZAK"));
    ZAK1->setObjectName(QStringLiteral("ZAK1"));
    polozka(ZAK1, &NastzZAK1, "NastzZAK1", "Načíst &z ZAK", QKeySequence(Qt::Key_F3),
            &TForm1::DownloadButtClick);
    polozka(ZAK1, &ZapsatdoZAK1, "ZapsatdoZAK1", "Zapsat &do ZAK", QKeySequence(Qt::Key_F4),
            &TForm1::UploadButtClick);

    Kl1 = menuBar()->addMenu(QString::fromUtf8("Klíč"));
    Kl1->setObjectName(QStringLiteral("Kl1"));
    polozka(Kl1, &Nastpiloen1, "Nastpiloen1", "Načíst přiložený", QKeySequence(Qt::Key_F5),
            &TForm1::btnSendCRClick);
    polozka(Kl1, &Pidat1, "Pidat1", "&Přidat", QKeySequence(Qt::Key_Insert), &TForm1::AddKeyButt);
    polozka(Kl1, &Smazat1, "Smazat1", "Smazat", QKeySequence(Qt::Key_Delete), &TForm1::DelKeyButt);
}

void TForm1::vytvorStrankuKlice() {
    Klice_ = new QWidget;
    Klice_->setObjectName(QStringLiteral("Klice"));
    Zalozky->addTab(Klice_, QString::fromUtf8("Klíče"));
    QWidget* s = Klice_;

    ModelKlicu = new KeyGridModel(Klice, this);
    TabulkaKlicu = new QTableView(s);
    TabulkaKlicu->setObjectName(QStringLiteral("TabulkaKlicu"));
    TabulkaKlicu->setModel(ModelKlicu);
    TabulkaKlicu->setGeometry(0, 8, 353, 465);
    TabulkaKlicu->verticalHeader()->hide();
    TabulkaKlicu->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    TabulkaKlicu->verticalHeader()->setDefaultSectionSize(20);
    TabulkaKlicu->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    TabulkaKlicu->horizontalHeader()->setFixedHeight(20);
    TabulkaKlicu->horizontalHeader()->setMinimumSectionSize(10);
    TabulkaKlicu->setColumnWidth(0, 20);
    TabulkaKlicu->setColumnWidth(1, 114);
    TabulkaKlicu->setColumnWidth(2, 196);
    TabulkaKlicu->setSelectionBehavior(QAbstractItemView::SelectRows);
    TabulkaKlicu->setSelectionMode(QAbstractItemView::SingleSelection);
    TabulkaKlicu->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TabulkaKlicu->setWordWrap(false);
    // No margin: the number column is only 20 pixels wide.
    citelneBunky(TabulkaKlicu, 0);
    {
        // Key numbers up to "2000." in the narrow first column, the widest ID in the
        // second: the cell less its text margins and grid line.
        const int okraje = 2 * (TabulkaKlicu->style()->pixelMetric(QStyle::PM_FocusFrameHMargin,
                                                                   nullptr, TabulkaKlicu) +
                                1) +
                           1;
        ModelKlicu->nastavPismoCisel(
            pismoNaSirku(font(), uzkaPisma(), QStringLiteral("2000."), 20 - okraje));
        TabulkaKlicu->setFont(
            pismoNaSirku(font(), {}, QString(14, QLatin1Char('D')), 114 - okraje));
    }
    // Tab leaves the grid for the next control instead of walking its cells.
    TabulkaKlicu->setTabKeyNavigation(false);
    TabulkaKlicu->installEventFilter(this);
    Kotvy.push_back(Kotva::ukotvi(TabulkaKlicu, false, true));
    // The operator starts in the key grid, the first control of the page.
    TabulkaKlicu->setFocus(Qt::OtherFocusReason);
    connect(TabulkaKlicu->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& aktualni) {
                if (aktualni.isValid())
                    spust([this, r = aktualni.row() + 1] { TabulkaKlicuSelectCell(r); });
            });

    LabelPocet = popisek(s, "Počet klíčů:", 366, 9);
    LabelPocet->setObjectName(QStringLiteral("LabelPocet"));
    EditPocetKlicu = pole(s, QStringLiteral("EditPocetKlicu"), {494, 5, 33, 21});
    EditPocetKlicu->setToolTip(QString::fromUtf8("Použijte k zadání limitu pro načítání"));
    Label3 = popisek(s, "Aktuální klíč:", 368, 36);
    Label3->setObjectName(QStringLiteral("Label3"));
    EditAktKlic = pole(s, QStringLiteral("EditAktKlic"), {494, 32, 33, 21});
    EditAktKlic->setReadOnly(true);
    EditAktID = pole(s, QStringLiteral("EditAktID"), {364, 52, 163, 21}, Pismena::Velka);
    EditAktKomentar = pole(s, QStringLiteral("EditAktKomentar"), {364, 72, 163, 21});

    for (int n = 1; n <= PocetPater; ++n) {
        auto* box = new QCheckBox(QString::number(n), s);
        box->setObjectName(QStringLiteral("Patro%1").arg(n));
        const int sloupec[] = {368, 408, 453};
        box->setGeometry(sloupec[(n - 1) / 8], 104 + 16 * ((n - 1) % 8), 33, 17);
        // `clicked` comes only from the operator; a refresh that sets the box does not edit.
        connect(box, &QCheckBox::clicked, this,
                [this, obsluha = kPatroClick[static_cast<std::size_t>(n - 1)]] {
                    spust([this, obsluha] { (this->*obsluha)(); });
                });
        Patro[static_cast<std::size_t>(n - 1)] = box;
    }

    SpeedButton10 = new QToolButton(s);
    SpeedButton10->setObjectName(QStringLiteral("SpeedButton10"));
    SpeedButton10->setGeometry(501, 105, 25, 25);
    SpeedButton10->setIcon(ikonaNastroje(Ikona::InvertovatPatra));
    SpeedButton10->setAutoRaise(true);
    SpeedButton10->setFocusPolicy(Qt::NoFocus);
    {
        const auto spustit = prikaz(&TForm1::SpeedButton10Click);
        connect(SpeedButton10, &QToolButton::clicked, this, [spustit] { spustit(); });
    }

    CheckUkladatKomentare = new QCheckBox(QString::fromUtf8("Ukládat komentáře do ZAK"), s);
    CheckUkladatKomentare->setObjectName(QStringLiteral("CheckUkladatKomentare"));
    CheckUkladatKomentare->setGeometry(368, 288, 161, 17);
    connect(CheckUkladatKomentare, &QCheckBox::clicked, this,
            [this] { spust([this] { UkladatKomentareClick(); }); });

    Label4 = popisek(s, "Max.délka komentáře:", 366, 313);
    Label4->setObjectName(QStringLiteral("Label4"));
    EditDelkaKomentare =
        pole(s, QStringLiteral("EditDelkaKomentare"), {494, 309, 33, 21}, Pismena::Velka);
    EditDelkaKomentare->setToolTip(QString::fromUtf8("Max. délka komentáře 1 až 50 znaků"));
    Label5 = popisek(s, "(Max.počet klíčů s touto délkou", 366, 337);
    Label5->setObjectName(QStringLiteral("Label5"));
    LimitKlicu = popisek(s, "komentáře je xxxx)", 430, 353);
    LimitKlicu->setObjectName(QStringLiteral("LimitKlicu"));

    for (QLineEdit* e : {EditPocetKlicu, EditAktID, EditAktKomentar, EditDelkaKomentare})
        e->installEventFilter(this);
    // The small number fields hold "#2000" whole.
    const QFont cisla = pismoNaSirku(EditAktKlic->font(), uzkaPisma(), QStringLiteral("#2000"),
                                     sirkaTextu(EditAktKlic));
    for (QLineEdit* e : {EditPocetKlicu, EditAktKlic, EditDelkaKomentare})
        e->setFont(cisla);

    QWidget* poradi[3 + PocetPater + 4];
    int i = 0;
    poradi[i++] = TabulkaKlicu;
    poradi[i++] = EditAktID;
    poradi[i++] = EditAktKomentar;
    for (QCheckBox* box : Patro)
        poradi[i++] = box;
    poradi[i++] = EditAktKlic;
    poradi[i++] = EditPocetKlicu;
    poradi[i++] = CheckUkladatKomentare;
    poradi[i++] = EditDelkaKomentare;
    for (int j = 1; j < i; ++j)
        setTabOrder(poradi[j - 1], poradi[j]);
}

void TForm1::vytvorStrankuMapa() {
    Mapa = new QWidget;
    Mapa->setObjectName(QStringLiteral("Mapa"));
    Zalozky->addTab(Mapa, QString::fromUtf8("Mapa paměti"));
    ModelMapy = new MemoryMapModel(Pamet, this);
    MapaPameti = new QTableView(Mapa);
    MapaPameti->setObjectName(QStringLiteral("MapaPameti"));
    MapaPameti->setModel(ModelMapy);
    MapaPameti->setGeometry(0, 8, 553, 457);
    MapaPameti->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MapaPameti->horizontalHeader()->setDefaultSectionSize(30);
    MapaPameti->horizontalHeader()->setFixedHeight(20);
    MapaPameti->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MapaPameti->verticalHeader()->setDefaultSectionSize(20);
    MapaPameti->verticalHeader()->setFixedWidth(30);
    MapaPameti->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MapaPameti->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MapaPameti->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MapaPameti->setWordWrap(false);
    citelneBunky(MapaPameti, 1);
    MapaPameti->setTabKeyNavigation(false);  // Tab leaves the grid, as in the key grid
    Kotvy.push_back(Kotva::ukotvi(MapaPameti, false, true));
}

void TForm1::vytvorStrankuKomunikace() {
    Komunikace = new QWidget;
    Komunikace->setObjectName(QStringLiteral("Komunikace"));
    Zalozky->addTab(Komunikace, QString::fromUtf8("Přehled komunikace"));
    CommLog = new QPlainTextEdit(Komunikace);
    CommLog->setObjectName(QStringLiteral("CommLog"));
    CommLog->setGeometry(8, 8, 521, 457);
    CommLog->setReadOnly(true);
    // Fixed pitch, so that the hex bytes of the traffic lines stand in columns.
    QFont pevne = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    pevne.setPixelSize(font().pixelSize());
    CommLog->setFont(pevne);
    CommLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Kotvy.push_back(Kotva::ukotvi(CommLog, true, true));
}

void TForm1::vytvorStrankuNastaveni() {
    Nastaveni = new QWidget;
    Nastaveni->setObjectName(QStringLiteral("Nastaveni"));
    Zalozky->addTab(Nastaveni, QString::fromUtf8("Nastavení"));
    Label1 = popisek(Nastaveni, "Komunikační port:", 8, 16);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboPort = new QComboBox(Nastaveni);
    ComboPort->setObjectName(QStringLiteral("ComboPort"));
    ComboPort->setGeometry(104, 16, 73, ComboPort->sizeHint().height());
    for (int i = 1; i <= 8; ++i)
        ComboPort->addItem(QStringLiteral("COM%1").arg(i));
    // `activated` comes only from the operator's choice, never from selecting in code.
    connect(ComboPort, &QComboBox::activated, this,
            [this] { spust([this] { ComboPortChange(); }); });
}

QString TForm1::vyberSoubor(bool ulozit) {
    // Each use gets a dialog of its own, gone with its completion list when it closes;
    // then the window takes the keyboard back where the operator left it.
    QPointer<QWidget> fokus = QApplication::focusWidget();
    QString soubor;
    {
        QFileDialog d(this);
        if (ulozit) {
            d.setObjectName(QStringLiteral("SaveDialog"));
            d.setDirectory(QStringLiteral("."));
            d.setAcceptMode(QFileDialog::AcceptSave);
            d.setFileMode(QFileDialog::AnyFile);
            d.setDefaultSuffix(QStringLiteral("ZAK"));
            d.setSizeGripEnabled(true);
        } else {
            d.setObjectName(QStringLiteral("OpenDialog"));
            d.setAcceptMode(QFileDialog::AcceptOpen);
            // Loading empties the table first, so a mistyped name must not get that far.
            d.setFileMode(QFileDialog::ExistingFile);
        }
        d.setNameFilter(QStringLiteral("ZAK data (*.ZAK)"));
        soubor = Dotazy->VyberSoubor(d);
    }
    activateWindow();
    if (fokus && fokus->window() == this)
        fokus->setFocus(Qt::ActiveWindowFocusReason);
    return soubor;
}

void TForm1::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (Ukazano)
        return;
    Ukazano = true;
    // Every page has the size of the one shown; the stretched controls keep the margins
    // they have in it now.
    const QSize stranka = Zalozky->currentWidget()->size();
    // The map grid is wider than the page; narrowed to it, its scroll bar stays in view.
    MapaPameti->resize(std::min(MapaPameti->width(), stranka.width()), MapaPameti->height());
    for (Kotva* k : Kotvy)
        k->zacni(k->ovladac()->parentWidget() == centralWidget() ? centralWidget()->size()
                                                                 : stranka);
    // The window may shrink until the key panel would be cut.
    const int panel = LimitKlicu->geometry().bottom() + 8;
    setMinimumSize(width(), height() - std::max(0, stranka.height() - panel));
}

void TForm1::FormCreate() {
    Comm321.SetBaudRate(2400);
    Comm321.SetCommPort("COM1");
    Comm321.SetOnReceiveData([this](const std::uint8_t* data, std::uint16_t delka) {
        spust([=] { Comm321ReceiveData(data, delka); });
    });
    Comm321.SetOnRequestHangup(
        [this](TComm32*) { spust([this] { Spojeni.Comm321RequestHangup(); }); });
    ComboPort->setCurrentIndex(0);
    PortOpen = false;
    Klice.PocetKlicu = 0;
    Klice.LimitNacitani = VychoziLimitNacitani;
    Link.ClearStopRequest();
    Klice.DelkaKomentare = VychoziDelkaKomentare;
    Klice.UkladatKomentare = false;
    InicializujMapu();
}

bool TForm1::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride) {
        // Insert and Delete belong to the key commands everywhere in the window; an
        // edit box must not keep them for itself.
        const auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Insert || k->key() == Qt::Key_Delete) &&
            (k->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && qobject_cast<QLineEdit*>(o))
            return true;
    } else if (e->type() == QEvent::FocusOut) {
        // Leaving the window or opening a menu or box is not leaving the field.
        const auto duvod = static_cast<QFocusEvent*>(e)->reason();
        if (duvod == Qt::ActiveWindowFocusReason || duvod == Qt::PopupFocusReason)
            return false;
        if (o == TabulkaKlicu)
            spust([this] { TabulkaKlicuExit(); });
        else if (o == EditAktID)
            spust([this] { EditAktIDExit(); });
        else if (o == EditAktKomentar)
            spust([this] { EditAktKomentarExit(); });
        else if (o == EditDelkaKomentare)
            spust([this] { EditDelkaKomentareExit(); });
        else if (o == EditPocetKlicu)
            spust([this] { EditPocetKlicuExit(); });
    }
    return QMainWindow::eventFilter(o, e);
}

void TForm1::spust(const std::function<void()>& obsluha) {
    try {
        obsluha();
    } catch (const std::exception& e) {
        Dotazy->Chyba(QString::fromLocal8Bit(e.what()));
    }
}

std::function<void()> TForm1::prikaz(void (TForm1::*obsluha)()) {
    return [this, obsluha] {
        spust([this, obsluha] {
            dokonciRozepsane();
            (this->*obsluha)();
        });
    };
}

void TForm1::dokonciRozepsane() {
    // A tool button or a shortcut takes no focus, so the field the operator typed in
    // is not left; what was typed must still land before the command runs.
    QWidget* f = QApplication::focusWidget();
    if (f == EditAktID && EditAktID->isModified())
        EditAktIDExit();
    else if (f == EditAktKomentar && EditAktKomentar->isModified())
        EditAktKomentarExit();
    else if (f == EditDelkaKomentare && EditDelkaKomentare->isModified())
        EditDelkaKomentareExit();
    else if (f == EditPocetKlicu && EditPocetKlicu->isModified())
        EditPocetKlicuExit();
}

}  // namespace zak
