#include "Dialogy.h"

#include <QCoreApplication>
#include <QMessageBox>
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

}  // namespace zak
