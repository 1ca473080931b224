#pragma once

#include <QAbstractTableModel>

#include "MemoryImage.h"

namespace zak {

// The memory map `MapaPameti`: 2048 rows of 16 bytes over the memory image. A cell
// shows "%.2X %s" of its byte (hex, a blank, the byte as a character) once the byte
// has been written, and stays empty until then. Headings: "00 ".."0F " across,
// "0000 ".."7FF0 " down.
class MemoryMapModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit MemoryMapModel(MemoryImage& pamet, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Repaints the cells the image reports as changed since the last call.
    void obnovZmeny();

    static QString textBunky(std::uint8_t b);

  private:
    MemoryImage& Pamet;
};

}  // namespace zak
