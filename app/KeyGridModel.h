#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <vector>

#include "KeyTable.h"

namespace zak {

// The key grid `TabulkaKlicu`: one row per record of the key table (2000 rows),
// columns "č.", "ID", "Komentář". A row shows its record only from the moment a
// command puts the key into the grid until a command empties the row again, as the
// grid of the unit's list has always behaved (a download of fewer keys leaves the
// rows above the new count showing the old keys).
class KeyGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit KeyGridModel(const KeyTable& tabulka, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Shows keys prvni..posledni (numbers from 1) with their current record texts.
    void zobrazRadky(int prvni, int posledni);
    // Empties the row of key n.
    void vyprazdniRadek(int n);
    // Empties every row.
    void vyprazdniVse();
    bool zobrazen(int n) const;
    // The font of the narrow number column.
    void nastavPismoCisel(const QFont& pismo) { PismoCisel = pismo; }

  private:
    QFont PismoCisel;
    const KeyTable& Tabulka;
    std::vector<bool> Zobrazen;  // index n-1
};

}  // namespace zak
