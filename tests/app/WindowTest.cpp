#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QToolButton>

#include "KeyGridModel.h"
#include "MemoryMapModel.h"
#include "OknoTestu.h"
#include "PrekladyQt.h"

#include <QMenuBar>
#include <QMessageBox>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

using namespace zak;

// The window as it opens: layout, texts, start values.
class WindowTest : public QObject {
    Q_OBJECT
  private slots:
    void captionPagesAndStartValues();
    void menusAndShortcuts_data();
    void menusAndShortcuts();
    void toolButtons();
    void keyPanelLayout();
    void mapShowsWrittenCells();
    void resetAllShowsStartValues();
    void stretchesWithTheWindow();
    void startsAtTheLayoutSizes();
    void keyPanelCannotBeSqueezedAway();
    void gridsShowEveryValueAtStartSize();
    void namesOfTheLayout();
    void iconsScaleAndHaveAGreyedImage();
    void trafficLogInFixedPitch();
    void qtDialogsInCzechOnACzechSystem();
};

void WindowTest::captionPagesAndStartValues() {
    Okno o;
    TForm1& f = o.Form;
    QCOMPARE(f.windowTitle(), QString("ZAK Manager v.0.1"));
    QCOMPARE(f.Zalozky->count(), 4);
    const QStringList stranky{QString::fromUtf8("Klíče"), QString::fromUtf8("Mapa paměti"),
                              QString::fromUtf8("Přehled komunikace"),
                              QString::fromUtf8("Nastavení")};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(f.Zalozky->tabText(i), stranky[i]);
    QCOMPARE(f.Zalozky->currentWidget(), f.Klice_);

    QCOMPARE(f.ComboPort->currentText(), QString("COM1"));
    QCOMPARE(f.ComboPort->count(), 8);
    QCOMPARE(f.ComboPort->itemText(7), QString("COM8"));
    QVERIFY(!f.ComboPort->isEditable());
    QVERIFY(!f.PortOpen);
    QCOMPARE(f.Klice.PocetKlicu, 0);
    QCOMPARE(f.Klice.AktKlic, 0);
    QCOMPARE(f.Klice.LimitNacitani, 2000);
    QCOMPARE(f.Klice.DelkaKomentare, 30);
    QVERIFY(!f.Klice.UkladatKomentare);
    QVERIFY(!f.Link.StopRequest());

    QCOMPARE(f.EditPocetKlicu->text(), QString("  0 "));
    QCOMPARE(f.LabelPocet->text(), QString::fromUtf8("Počet klíčů:"));
    QCOMPARE(f.LimitKlicu->text(), QString::fromUtf8("komentáře je xxxx)"));
    QCOMPARE(f.Label5->text(), QString::fromUtf8("(Max.počet klíčů s touto délkou"));
    QCOMPARE(f.Label4->text(), QString::fromUtf8("Max.délka komentáře:"));
    QCOMPARE(f.Label3->text(), QString::fromUtf8("Aktuální klíč:"));
    QCOMPARE(f.Label1->text(), QString::fromUtf8("Komunikační port:"));
    QCOMPARE(f.CheckUkladatKomentare->text(), QString::fromUtf8("Ukládat komentáře do ZAK"));
    for (QLineEdit* e : {f.EditAktKlic, f.EditAktID, f.EditAktKomentar, f.EditDelkaKomentare})
        QCOMPARE(e->text(), QString());
    QVERIFY(f.EditAktKlic->isReadOnly());
    QVERIFY(f.CommLog->isReadOnly());
    QCOMPARE(f.ProgressBar->maximum(), 20032);
    QCOMPARE(f.ProgressBar->value(), 0);
    QCOMPARE(f.pos(), QPoint(261, 101));
}

void WindowTest::menusAndShortcuts_data() {
    QTest::addColumn<QString>("jmeno");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QKeySequence>("zkratka");
    QTest::newRow("Nov1") << "Nov1" << QString::fromUtf8("&Nový")
                          << QKeySequence(Qt::CTRL | Qt::Key_N);
    QTest::newRow("Otevt1") << "Otevt1" << QString::fromUtf8("&Otevřít...")
                            << QKeySequence(Qt::CTRL | Qt::Key_O);
    QTest::newRow("Uloit1") << "Uloit1" << QString::fromUtf8("&Uložit...")
                            << QKeySequence(Qt::CTRL | Qt::Key_S);
    QTest::newRow("Tisk1") << "Tisk1" << QString::fromUtf8("&Tisk...")
                           << QKeySequence(Qt::CTRL | Qt::Key_P);
    QTest::newRow("Konec1") << "Konec1" << QString::fromUtf8("&Konec") << QKeySequence();
    QTest::newRow("NastzZAK1") << "NastzZAK1" << QString::fromUtf8("Načíst &z ZAK")
                               << QKeySequence(Qt::Key_F3);
    QTest::newRow("ZapsatdoZAK1") << "ZapsatdoZAK1" << QString::fromUtf8("Zapsat &do ZAK")
                                  << QKeySequence(Qt::Key_F4);
    QTest::newRow("Nastpiloen1") << "Nastpiloen1" << QString::fromUtf8("Načíst přiložený")
                                 << QKeySequence(Qt::Key_F5);
    QTest::newRow("Pidat1") << "Pidat1" << QString::fromUtf8("&Přidat")
                            << QKeySequence(Qt::Key_Insert);
    QTest::newRow("Smazat1") << "Smazat1" << QString::fromUtf8("Smazat")
                             << QKeySequence(Qt::Key_Delete);
}

void WindowTest::menusAndShortcuts() {
    QFETCH(QString, jmeno);
    QFETCH(QString, text);
    QFETCH(QKeySequence, zkratka);
    Okno o;
    auto* a = o.Form.findChild<QAction*>(jmeno);
    QVERIFY(a);
    QCOMPARE(a->text(), text);
    QCOMPARE(a->shortcut(), zkratka);

    const QList<QAction*> nabidky = o.Form.menuBar()->actions();
    QCOMPARE(nabidky.size(), 3);
    QCOMPARE(nabidky[0]->text(), QString("&Soubor"));
    QCOMPARE(nabidky[1]->text(), QString("&ZAK"));
    QCOMPARE(nabidky[2]->text(), QString::fromUtf8("Klíč"));
}

void WindowTest::toolButtons() {
    Okno o;
    struct Tlacitko {
        const char* jmeno;
        int x;
        const char* napoveda;
    };
    const Tlacitko tlacitka[] = {
        {"SpeedButton1", 8, "Vyčistit soubor"},
        {"SpeedButton2", 32, "Načíst ze souboru"},
        {"SpeedButton3", 56, "Uložit do souboru"},
        {"SpeedButton9", 80, ""},
        {"SpeedButton4", 120, "Načíst z ZAK"},
        {"SpeedButton5", 144, "Nahrát do ZAK"},
        {"SpeedButton6", 184, "Posledně přiložený klíč"},
        {"SpeedButton7", 208, "Přidat klíč"},
        {"SpeedButton8", 232, "Smazat klíč"},
        {"StopCommButt", 272, "Přerušit komunikaci"},
    };
    for (const Tlacitko& t : tlacitka) {
        auto* b = o.Form.findChild<QToolButton*>(t.jmeno);
        QVERIFY2(b, t.jmeno);
        QCOMPARE(b->geometry(), QRect(t.x, 8, 25, 25));
        QCOMPARE(b->toolTip(), QString::fromUtf8(t.napoveda));
        QCOMPARE(b->focusPolicy(), Qt::NoFocus);
        QVERIFY(!b->icon().isNull());
    }
}

void WindowTest::keyPanelLayout() {
    Okno o;
    TForm1& f = o.Form;
    QCOMPARE(f.EditPocetKlicu->geometry(), QRect(494, 5, 33, 21));
    QCOMPARE(f.EditAktID->geometry(), QRect(364, 52, 163, 21));
    QCOMPARE(f.EditAktKomentar->geometry(), QRect(364, 72, 163, 21));
    QCOMPARE(f.EditPocetKlicu->toolTip(),
             QString::fromUtf8("Použijte k zadání limitu pro načítání"));
    QCOMPARE(f.EditDelkaKomentare->toolTip(),
             QString::fromUtf8("Max. délka komentáře 1 až 50 znaků"));
    for (int n = 1; n <= 24; ++n) {
        QCheckBox* box = f.Patro[n - 1];
        QCOMPARE(box->objectName(), QString("Patro%1").arg(n));
        QCOMPARE(box->text(), QString::number(n));
        const int x[] = {368, 408, 453};
        QCOMPARE(box->geometry(), QRect(x[(n - 1) / 8], 104 + 16 * ((n - 1) % 8), 33, 17));
    }
    QCOMPARE(f.TabulkaKlicu->columnWidth(0), 20);
    QCOMPARE(f.TabulkaKlicu->columnWidth(1), 114);
    QCOMPARE(f.TabulkaKlicu->columnWidth(2), 196);
    QCOMPARE(f.TabulkaKlicu->model()->rowCount(), 2000);

    // Keyboard focus order of the page.
    QList<QWidget*> poradi{f.TabulkaKlicu, f.EditAktID, f.EditAktKomentar};
    for (QCheckBox* b : f.Patro)
        poradi << b;
    poradi << f.EditAktKlic << f.EditPocetKlicu << f.CheckUkladatKomentare << f.EditDelkaKomentare;
    for (int i = 1; i < poradi.size(); ++i) {
        QWidget* dalsi = poradi[i - 1]->nextInFocusChain();
        while (poradi[i - 1]->isAncestorOf(dalsi) || !(dalsi->focusPolicy() & Qt::TabFocus))
            dalsi = dalsi->nextInFocusChain();  // parts of a control, labels
        QCOMPARE(dalsi, poradi[i]);
    }
}

void WindowTest::mapShowsWrittenCells() {
    Okno o;
    TForm1& f = o.Form;
    QAbstractItemModel* mapa = f.MapaPameti->model();
    QCOMPARE(mapa->headerData(0, Qt::Horizontal).toString(), QString("00 "));
    QCOMPARE(mapa->headerData(15, Qt::Horizontal).toString(), QString("0F "));
    QCOMPARE(mapa->headerData(1, Qt::Vertical).toString(), QString("0010 "));
    QCOMPARE(mapa->index(1, 12).data().toString(), QString());

    f.Klice.UkladatKomentare = true;
    f.Keys2Mem();
    QCOMPARE(mapa->index(1, 12).data().toString(), QString::fromUtf8("AA Ş"));
    QCOMPARE(mapa->index(1, 14).data().toString(), QString("00 "));
    f.InicializujMapu();
    QCOMPARE(mapa->index(1, 12).data().toString(), QString());
    QCOMPARE(f.Pamet[0x1C], 0xAA);  // the map was emptied, not the image
}

void WindowTest::resetAllShowsStartValues() {
    Okno o;
    TForm1& f = o.Form;
    f.Klice.DelkaKomentare = 7;
    f.Klice.LimitNacitani = 100;
    f.Klice.UkladatKomentare = true;
    f.Klice.PocetKlicu = 1;
    f.Keys2Mem();
    f.ResetAll();
    QCOMPARE(f.EditDelkaKomentare->text(), QString("30"));
    QVERIFY(!f.CheckUkladatKomentare->isChecked());
    QCOMPARE(f.LimitKlicu->text(), QString("komentare je 818)"));
    QCOMPARE(f.LabelPocet->text(), QString::fromUtf8("Počet klíčů:"));
    QCOMPARE(f.EditPocetKlicu->text(), QString("  0 "));
    QCOMPARE(f.EditAktKlic->text(), QString("#1"));
    QCOMPARE(f.Klice.AktKlic, 1);
    QCOMPARE(f.Pamet[0x1C], 0);
    QCOMPARE(f.MapaPameti->model()->index(1, 12).data().toString(), QString());
}

void WindowTest::stretchesWithTheWindow() {
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    const QSize tabulka = f.TabulkaKlicu->size();
    const int pruh = f.ProgressBar->width();
    f.Zalozky->setCurrentWidget(f.Komunikace);
    QApplication::processEvents();
    const QSize log = f.CommLog->size();
    f.resize(f.width() + 100, f.height() + 50);
    QTRY_COMPARE(f.ProgressBar->width(), pruh + 100);
    QTRY_COMPARE(f.CommLog->size(), log + QSize(100, 50));
    f.Zalozky->setCurrentWidget(f.Klice_);  // a hidden page follows when it is shown
    QTRY_COMPARE(f.TabulkaKlicu->height(), tabulka.height() + 50);
    QCOMPARE(f.TabulkaKlicu->width(), tabulka.width());
}

void WindowTest::startsAtTheLayoutSizes() {
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    QCOMPARE(f.ProgressBar->geometry(), QRect(8, 41, 543, 9));
    QCOMPARE(f.Zalozky->geometry(), QRect(8, 56, 543, 510));
    QCOMPARE(f.TabulkaKlicu->geometry(), QRect(0, 8, 353, 465));
    f.Zalozky->setCurrentWidget(f.Komunikace);
    QApplication::processEvents();
    QCOMPARE(f.CommLog->geometry(), QRect(8, 8, 521, 457));
    f.Zalozky->setCurrentWidget(f.Mapa);
    QApplication::processEvents();
    const QRect mapa = f.MapaPameti->geometry();
    QCOMPARE(mapa.topLeft(), QPoint(0, 8));
    QCOMPARE(mapa.height(), 457);
    // The whole grid with its scroll bar lies on the page.
    QVERIFY2(
        f.Mapa->rect().contains(mapa),
        qPrintable(QString("page %1 wide, grid %2 wide").arg(f.Mapa->width()).arg(mapa.width())));
    QVERIFY(f.MapaPameti->verticalScrollBar()->isVisible());
}

void WindowTest::keyPanelCannotBeSqueezedAway() {
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    f.resize(200, 150);
    QApplication::processEvents();
    for (QWidget* w : std::initializer_list<QWidget*>{f.EditPocetKlicu, f.EditAktID, f.Patro[23],
                                                      f.EditDelkaKomentare, f.LimitKlicu})
        QVERIFY2(f.Klice_->rect().contains(w->geometry()), qPrintable(w->objectName()));
}

namespace {

// The width a grid cell gives its text: the cell less the margins the style keeps on
// both sides for item text.
int sirkaProText(QTableView* t, const QModelIndex& i) {
    const int okraj = t->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t) + 1;
    return t->visualRect(i).width() - 2 * okraj;
}

QFont pismoBunky(QTableView* t, const QModelIndex& i) {
    const QVariant p = i.data(Qt::FontRole);
    return p.isValid() ? p.value<QFont>() : t->font();
}

// What a cell shows of its text: elided when the grid elides, otherwise cut at the edge.
QString ukazano(QTableView* t, const QFontMetrics& fm, const QString& text, int sirka) {
    if (t->textElideMode() == Qt::ElideNone || fm.horizontalAdvance(text) <= sirka)
        return text;
    return fm.elidedText(text, t->textElideMode(), sirka);
}

}  // namespace

void WindowTest::gridsShowEveryValueAtStartSize() {
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());

    // Memory map: every byte value shows both hex digits in every column.
    f.Zalozky->setCurrentWidget(f.Mapa);
    QApplication::processEvents();
    QTableView* m = f.MapaPameti;
    for (int a = 0; a < 16; ++a)
        f.Pamet.zapis(a, 0);
    for (int sloupec = 0; sloupec < 16; ++sloupec) {
        const QModelIndex i = m->model()->index(0, sloupec);
        QVERIFY(m->viewport()->rect().contains(m->visualRect(i)));
        const QFontMetrics fm(pismoBunky(m, i));
        const int sirka = sirkaProText(m, i);
        for (int b = 0; b < 256; ++b) {
            const QString text = MemoryMapModel::textBunky(static_cast<std::uint8_t>(b));
            const QString hex = text.left(2);
            QVERIFY2(
                ukazano(m, fm, text, sirka).startsWith(hex) && fm.horizontalAdvance(hex) <= sirka,
                qPrintable(QString("%1 in column %2 (%3 px)").arg(text).arg(sloupec).arg(sirka)));
        }
    }

    // Key grid: every key number, and the widest ID.
    f.Zalozky->setCurrentWidget(f.Klice_);
    QApplication::processEvents();
    QTableView* t = f.TabulkaKlicu;
    f.Klice.PocetKlicu = 2000;
    f.modelKlicu()->zobrazRadky(1, 2000);
    for (int n = 1; n <= 2000; ++n) {
        const QModelIndex i = t->model()->index(n - 1, 0);
        const QString text = i.data().toString();
        const QFontMetrics fm(pismoBunky(t, i));
        const int sirka = sirkaProText(t, i);
        QVERIFY2(fm.horizontalAdvance(text) <= sirka,
                 qPrintable(QString("%1 needs %2 px of %3")
                                .arg(text)
                                .arg(fm.horizontalAdvance(text))
                                .arg(sirka)));
        QCOMPARE(ukazano(t, fm, text, sirka), text);
    }
    const QModelIndex id = t->model()->index(0, 1);
    const QFontMetrics fm(pismoBunky(t, id));
    QVERIFY(fm.horizontalAdvance(QString(14, QLatin1Char('D'))) <= sirkaProText(t, id));

    // The panel's number field holds the highest key number.
    f.ObnovPatra(2000);
    QLineEdit* e = f.EditAktKlic;
    QStyleOptionFrame volby;
    volby.initFrom(e);
    volby.lineWidth =
        e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &volby, e) : 0;
    const QRect obsah = e->style()->subElementRect(QStyle::SE_LineEditContents, &volby, e);
    const QMargins okraje = e->textMargins();
    const int prostor = obsah.width() - okraje.left() - okraje.right() -
                        2 * 2;  // 2 px each side in the edit itself
    QVERIFY2(e->fontMetrics().horizontalAdvance(e->text()) <= prostor,
             qPrintable(QString("%1 in %2 px").arg(e->text()).arg(prostor)));
}

void WindowTest::namesOfTheLayout() {
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(f.findChild<QMenuBar*>("MainMenu1"));
    QCOMPARE(f.menuBar()->objectName(), QString("MainMenu1"));
    for (QLabel* l : {f.Label1, f.Label3, f.Label4, f.Label5})
        QCOMPARE(f.findChild<QLabel*>(l->objectName()), l);
    QCOMPARE(f.Label1->objectName(), QString("Label1"));
    QCOMPARE(f.Label3->objectName(), QString("Label3"));
    QCOMPARE(f.Label4->objectName(), QString("Label4"));
    QCOMPARE(f.Label5->objectName(), QString("Label5"));
    f.AddKeyButt();
    for (int n = 1; n <= 24; ++n) {
        f.Patro[n - 1]->setChecked(true);
        QVERIFY(QMetaObject::invokeMethod(&f, qPrintable(QString("Patro%1Click").arg(n))));
        QCOMPARE(f.Klice.klic(1).Patra[n - 1], 1);
    }
}

void WindowTest::iconsScaleAndHaveAGreyedImage() {
    Okno o;
    for (const char* jmeno : {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton9",
                              "SpeedButton4", "SpeedButton5", "SpeedButton6", "SpeedButton7",
                              "SpeedButton8", "StopCommButt", "SpeedButton10"}) {
        const QIcon ikona = o.Form.findChild<QToolButton*>(jmeno)->icon();
        // Drawn from a scalable picture: as sharp at twice the size.
        const QImage velka = ikona.pixmap(QSize(32, 32)).toImage();
        QCOMPARE(velka.size(), QSize(32, 32));
        const QImage normalni = ikona.pixmap(QSize(16, 16)).toImage();
        const QImage seda = ikona.pixmap(QSize(16, 16), QIcon::Disabled).toImage();
        QVERIFY2(!normalni.isNull() && normalni != seda, jmeno);
    }
}

void WindowTest::trafficLogInFixedPitch() {
    Okno o;
    QVERIFY(QFontInfo(o.Form.CommLog->font()).fixedPitch());
}

void WindowTest::qtDialogsInCzechOnACzechSystem() {
    const QString anglicky = QCoreApplication::translate("QFileDialog", "&Open");
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
    QVERIFY(nainstalujPrekladyQt(*QCoreApplication::instance()));
    QLocale::setDefault(QLocale::c());
    QCOMPARE(QCoreApplication::translate("QFileDialog", "&Open"), QString::fromUtf8("&Otevřít"));
    QVERIFY(anglicky != QCoreApplication::translate("QFileDialog", "&Open"));

    // The confirmation box keeps its fixed captions.
    TForm1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QStringList tlacitka;
    QString titulek;
    QTimer cekani;
    connect(&cekani, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        cekani.stop();
        titulek = box->windowTitle();
        for (QAbstractButton* b : box->buttons())
            tlacitka << b->text();
        box->reject();
    });
    cekani.start(10);
    f.ResetAllButt();
    QCOMPARE(titulek, QString("Confirm"));
    tlacitka.sort();
    QCOMPARE(tlacitka, (QStringList{"&No", "&Yes"}));
}

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
