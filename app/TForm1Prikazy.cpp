// Commands of the file, unit and port menus, and the end of the application.
#include <QApplication>
#include <QCloseEvent>

#include "TForm1.h"

namespace zak {

void TForm1::LoadButtonClick() {}

void TForm1::SaveButtClick() {}

void TForm1::PrintButtClick() {}

void TForm1::DownloadButtClick() {}

void TForm1::UploadButtClick() {}

void TForm1::btnSendCRClick() {}

void TForm1::StopCommButtClick() {}

void TForm1::ComboPortChange() {}

void TForm1::FormClose() {}

void TForm1::closeEvent(QCloseEvent* e) {
    // The key list is not saved and nothing is asked.
    FormClose();
    e->accept();
}

void TForm1::Konec1Click() {
    FormClose();
    QApplication::quit();
}

}  // namespace zak
