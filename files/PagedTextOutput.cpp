#include "PagedTextOutput.h"

namespace zak {

void PagedTextOutput::beginDocument() {
    x_ = 0;
    y_ = 0;
    lineHeight_ = 0;
}

void PagedTextOutput::setFont(const std::string& name, int points) {
    surface_.setFont(name, points);
}

std::size_t PagedTextOutput::fittingLength(const std::string& piece) const {
    const int room = surface_.printableWidth() - x_;
    std::size_t n = piece.size();
    while (n > 0 && surface_.textWidth(piece.substr(0, n)) > room)
        --n;
    return n;
}

void PagedTextOutput::write(const std::string& piece) {
    std::string rest = piece;
    while (!rest.empty()) {
        std::size_t n = fittingLength(rest);
        if (n == 0 && x_ == 0)
            n = 1;
        const std::string part = rest.substr(0, n);
        const int h = surface_.textHeight(rest);
        if (h > lineHeight_)
            lineHeight_ = h + 2;
        if (!part.empty())
            surface_.drawText(x_, y_, part);
        x_ += surface_.textWidth(part);
        if (n == rest.size())
            break;
        endLine();
        rest.erase(0, n);
    }
}

void PagedTextOutput::endLine() {
    x_ = 0;
    y_ += lineHeight_ > 0 ? lineHeight_ : surface_.charHeight();
    if (y_ > surface_.printableHeight() - 2 * lineHeight_) {
        surface_.newPage();
        y_ = 0;
    }
    lineHeight_ = 0;
}

}  // namespace zak
