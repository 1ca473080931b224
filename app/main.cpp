#include <QApplication>

#include "TForm1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    zak::TForm1 okno;
    okno.show();
    return app.exec();
}
