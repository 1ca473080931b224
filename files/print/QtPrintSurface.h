#pragma once

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>

#include "PrintSurface.h"

namespace zak {

// A PrintSurface over a QPainter that is active on a paged device (a QPrinter or a
// QPdfWriter). Texts are Windows-1250 and are decoded for drawing. Fonts are chosen
// by name and point size, with ligatures and other shaping off, so that every byte
// is one character of fixed width. A page break is made when something is drawn
// after it, so that no empty page ends the document.
// The painter and the device belong to the caller and outlive the surface.
class QtPrintSurface : public PrintSurface {
  public:
    QtPrintSurface(QPainter& painter, QPagedPaintDevice& device);

    int printableWidth() const override;
    int printableHeight() const override;
    void setFont(const std::string& name, int points) override;
    int textWidth(const std::string& text) const override;
    int textHeight(const std::string& text) const override;
    int charHeight() const override;
    void drawText(int x, int y, const std::string& text) override;
    void newPage() override;

  private:
    QPainter& painter_;
    QPagedPaintDevice& device_;
    QFontMetrics metrics_;
    bool pageBreakPending_ = false;
};

}  // namespace zak
