#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <QComboBox>

#include "OknoTestu.h"

using namespace zak;

// The port choice on the settings page, against real pseudo-terminals.
class PortWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void startsClosedOnCom1();
    void missingPortShowsTheErrorAndStaysClosed();
    void choosingAWorkingPortOpensIt();
    void closingTheWindowStopsThePort();
};

namespace {

// A pseudo-terminal whose device stands in for a serial port.
struct Terminal {
    int master = -1;
    int slave = -1;
    QByteArray jmeno;
    Terminal() {
        char buf[256];
        if (::openpty(&master, &slave, buf, nullptr, nullptr) == 0)
            jmeno = buf;
        termios t{};
        ::tcgetattr(master, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master, TCSANOW, &t);
    }
    ~Terminal() {
        ::close(slave);
        ::close(master);
    }
    QByteArray precti(int kolik) {
        QByteArray b;
        QElapsedTimer t;
        t.start();
        while (b.size() < kolik && t.elapsed() < 5000) {
            char c[64];
            const ssize_t n = ::read(master, c, sizeof c);
            if (n > 0)
                b.append(c, n);
            else
                QTest::qWait(10);
        }
        return b;
    }
};

void vyberPort(TForm1& f, int index) {
    f.ComboPort->setCurrentIndex(index);
    emit f.ComboPort->activated(index);  // as the operator's choice
}

}  // namespace

void PortWindowTest::startsClosedOnCom1() {
    Okno o;
    QCOMPARE(o.Form.Comm321.CommPort(), std::string("COM1"));
    QCOMPARE(o.Form.Comm321.BaudRate(), 2400u);
    QCOMPARE(o.Form.Comm321.ByteSize(), 8);
    QVERIFY(!o.Form.Comm321.IsOpen());
    QVERIFY(!o.Form.PortOpen);
}

void PortWindowTest::missingPortShowsTheErrorAndStaysClosed() {
    qputenv("ZAK_COM3", "/nonexistent/ttyZAK");
    Okno o;
    vyberPort(o.Form, 2);
    QCOMPARE(o.Dialogy->Chyby, QStringList{"Error opening com port"});
    QVERIFY(!o.Form.PortOpen);
    QVERIFY(!o.Form.Comm321.IsOpen());
    QCOMPARE(o.Form.Comm321.CommPort(), std::string("COM3"));
    // The window goes on.
    o.Form.AddKeyButt();
    QCOMPARE(o.Form.Klice.PocetKlicu, 1);
}

void PortWindowTest::choosingAWorkingPortOpensIt() {
    Terminal t;
    QVERIFY(!t.jmeno.isEmpty());
    qputenv("ZAK_COM2", t.jmeno);
    Okno o;
    vyberPort(o.Form, 1);
    QVERIFY(o.Dialogy->Chyby.isEmpty());
    QVERIFY(o.Form.PortOpen);
    const std::uint8_t pozadavek[] = {0x03, 0xFC};
    QVERIFY(o.Form.Comm321.WriteCommData(pozadavek, 2));
    QCOMPARE(t.precti(2), QByteArray("\x03\xFC", 2));

    // Choosing it again stops and reopens it.
    vyberPort(o.Form, 1);
    QVERIFY(o.Dialogy->Chyby.isEmpty());
    QVERIFY(o.Form.PortOpen);
}

void PortWindowTest::closingTheWindowStopsThePort() {
    Terminal t;
    qputenv("ZAK_COM4", t.jmeno);
    {
        Okno o;
        vyberPort(o.Form, 3);
        QVERIFY(o.Form.PortOpen);
        o.Form.close();
        QVERIFY(!o.Form.Comm321.IsOpen());
    }
    // The device is free again for the next window.
    Okno dalsi;
    vyberPort(dalsi.Form, 3);
    QVERIFY(dalsi.Dialogy->Chyby.isEmpty());
    QVERIFY(dalsi.Form.PortOpen);

    // A window that never opened its port closes without an error.
    Okno nikdy;
    nikdy.Form.close();
    QVERIFY(nikdy.Dialogy->Chyby.isEmpty());
}

QTEST_MAIN(PortWindowTest)
#include "PortWindowTest.moc"
