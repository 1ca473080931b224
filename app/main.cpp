#include <QApplication>

#include "PrekladyQt.h"
#include "TForm1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    zak::nainstalujPrekladyQt(app);
    zak::TForm1 okno;
    okno.show();
    return app.exec();
}
