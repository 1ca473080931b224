#pragma once

#include <string>

namespace zak {

// A printer's drawing surface as PagedTextOutput needs it. Positions and sizes are in
// device units, (0, 0) being the top-left corner of the printable area. Texts are
// Windows-1250 bytes. The surface belongs to the caller and outlives its users.
class PrintSurface {
  public:
    virtual ~PrintSurface() = default;

    virtual int printableWidth() const = 0;
    virtual int printableHeight() const = 0;

    virtual void setFont(const std::string& name, int points) = 0;
    // Width and height of a text in the current font.
    virtual int textWidth(const std::string& text) const = 0;
    virtual int textHeight(const std::string& text) const = 0;
    // Height of a character of the current font: what an empty line advances.
    virtual int charHeight() const = 0;

    // Draws a text with its top-left corner at (x, y) in the current font.
    virtual void drawText(int x, int y, const std::string& text) = 0;
    // Ends the current page; what is drawn next goes on a new one.
    virtual void newPage() = 0;
};

}  // namespace zak
