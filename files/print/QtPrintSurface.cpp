#include "QtPrintSurface.h"

#include <QFont>
#include <QString>

#include "Kodovani.h"

namespace zak {

QtPrintSurface::QtPrintSurface(QPainter& painter, QPagedPaintDevice& device)
    : painter_(painter), device_(device), metrics_(painter.fontMetrics()) {}

int QtPrintSurface::printableWidth() const {
    return device_.width();
}

int QtPrintSurface::printableHeight() const {
    return device_.height();
}

void QtPrintSurface::setFont(const std::string& name, int points) {
    QFont font(QString::fromStdString(name), points);
    // The hint picks a fixed-pitch face where the named one is missing; it must come
    // before the strategy, which it would otherwise reset.
    font.setStyleHint(QFont::TypeWriter);
    font.setStyleStrategy(QFont::PreferNoShaping);
    painter_.setFont(font);
    metrics_ = painter_.fontMetrics();
}

int QtPrintSurface::textWidth(const std::string& text) const {
    return metrics_.horizontalAdvance(zCp1250(text));
}

int QtPrintSurface::textHeight(const std::string&) const {
    return metrics_.height();
}

int QtPrintSurface::charHeight() const {
    return metrics_.height();
}

void QtPrintSurface::drawText(int x, int y, const std::string& text) {
    if (pageBreakPending_) {
        device_.newPage();
        pageBreakPending_ = false;
    }
    painter_.drawText(x, y + metrics_.ascent(), zCp1250(text));
}

void QtPrintSurface::newPage() {
    pageBreakPending_ = true;
}

}  // namespace zak
