#include "Dialogy.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace zak {

bool OknaDialogu::Potvrd(const QString& otazka) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), otazka, QMessageBox::NoButton,
                    Rodic);
    QPushButton* ano = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(ano);
    box.exec();
    return box.clickedButton() == ano;
}

void OknaDialogu::Informuj(const QString& zprava) {
    QMessageBox::information(Rodic, QCoreApplication::applicationName(), zprava);
}

void OknaDialogu::Chyba(const QString& zprava) {
    QMessageBox::critical(Rodic, QCoreApplication::applicationName(), zprava);
}

QString OknaDialogu::VyberSoubor(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

bool OknaDialogu::VyberTiskarnu(QPrinter& tiskarna) {
    QPrintDialog dialog(&tiskarna, Rodic);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace zak
