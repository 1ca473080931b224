#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "KeyListing.h"
#include "PagedTextOutput.h"

namespace zak {
namespace {

// A text output that keeps each line as its pieces with their font sizes.
class RecordingOutput : public TextOutput {
  public:
    struct Piece {
        int points;
        std::string text;
        bool operator==(const Piece& o) const { return points == o.points && text == o.text; }
    };
    using Line = std::vector<Piece>;

    void beginDocument() override { began = true; }
    void setFont(const std::string& name, int points) override {
        EXPECT_EQ(name, "Courier New");
        points_ = points;
    }
    void write(const std::string& piece) override { current_.push_back({points_, piece}); }
    void endLine() override {
        lines.push_back(current_);
        current_.clear();
    }
    void endDocument() override {
        EXPECT_TRUE(current_.empty()) << "the last line was not ended";
        ended = true;
    }

    std::vector<Line> lines;
    bool began = false;
    bool ended = false;
    int points_ = 0;

  private:
    Line current_;
};

std::string text(const RecordingOutput::Line& line) {
    std::string r;
    for (const auto& p : line)
        r += p.text;
    return r;
}

const std::string kDate = "10.12.2024";

std::vector<std::string> titleBlock() {
    return {
        "",
        "",
        std::string(21, ' ') + std::string("ZAK1 - seznam p\xF8"
                                           "\xED"
                                           "stupov\xFD"
                                           "ch kl\xED"
                                           "\xE8"
                                           "\xF9"
                                           ":"),
        "",
        std::string(16, ' ') + "Objekt: " + std::string(42, '.'),
        "",
        std::string(16, ' ') +
            std::string("Pozn\xE1"
                        "mka: ") +
            std::string(40, '.'),
        std::string(16, ' ') +
            std::string("(V\xFD"
                        "pis ze dne ") +
            kDate + ")",
        "",
        "",
        "",
        "",
    };
}

TEST(KeyListing, EmptyTablePrintsTheTitleBlock) {
    const auto t = std::make_unique<KeyTable>();
    RecordingOutput out;
    VypisSeznamKlicu(*t, kDate, out);
    EXPECT_TRUE(out.began);
    EXPECT_TRUE(out.ended);
    std::vector<std::string> lines;
    for (const auto& l : out.lines) {
        lines.push_back(text(l));
        for (const auto& p : l)
            EXPECT_EQ(p.points, 12);
    }
    EXPECT_EQ(lines, titleBlock());
}

TEST(KeyListing, TwoLinesAndAnEmptyOnePerKey) {
    const auto t = std::make_unique<KeyTable>();
    t->PocetKlicu = 7;
    t->klic(1).Komentar = std::string(45, 'c');
    t->klic(2).ID = "0123456789ABCDEF01";
    t->klic(2).Patra.fill(1);
    TKlic& k7 = t->klic(7);
    k7.ID = "0A1B2C3D4E5F60";
    k7.Komentar = std::string(
        "Kancel\xE1"
        "\xF8"
        " 1");
    k7.Patra[2] = k7.Patra[23] = 1;

    RecordingOutput out;
    VypisSeznamKlicu(*t, kDate, out);
    ASSERT_EQ(out.lines.size(), titleBlock().size() + 7 * 3);
    const auto keyLine = [&](int k, int n) {
        return out.lines[titleBlock().size() + 3 * (k - 1) + n];
    };
    using P = RecordingOutput::Piece;
    using L = RecordingOutput::Line;
    const std::string label = std::string(
        "Zp\xF8"
        "\xED"
        "stupn\xEC"
        "na patra \xE8"
        ".: ");

    EXPECT_EQ(keyLine(7, 0), (L{{12, "       7.   "},
                                {12, "0A1B2C3D4E5F60  "},
                                {12, std::string("Kancel\xE1"
                                                 "\xF8"
                                                 " 1") +
                                         " " + std::string(29, '.')}}));
    EXPECT_EQ(keyLine(7, 1), (L{{12, std::string(12, ' ')}, {8, label + "3,24,"}}));
    EXPECT_EQ(keyLine(7, 2), L{});

    // Empty ID and floors; a comment of 40 or more characters is cut and gets no dots.
    EXPECT_EQ(keyLine(1, 0),
              (L{{12, "       1.   "}, {12, std::string(16, ' ')}, {12, std::string(40, 'c')}}));
    EXPECT_EQ(keyLine(1, 1), (L{{12, std::string(12, ' ')}, {8, label}}));
    // A long ID is cut at 16 places; an empty comment leaves a blank and 39 dots.
    EXPECT_EQ(
        keyLine(2, 0),
        (L{{12, "       2.   "}, {12, "0123456789ABCDEF"}, {12, " " + std::string(39, '.')}}));
    EXPECT_EQ(keyLine(2, 1)[1],
              (P{8, label + "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,"}));
    for (int k = 1; k <= 7; ++k)
        EXPECT_EQ(text(keyLine(k, 0)).size(), 68u);
    // The empty line after a key advances in the 12-point font.
    EXPECT_EQ(out.points_, 12);
}

TEST(KeyListing, NumbersUpTo2000FillTwelvePlaces) {
    EXPECT_EQ(CisloKlice(1), "       1.   ");
    EXPECT_EQ(CisloKlice(42), "      42.   ");
    EXPECT_EQ(CisloKlice(2000), "    2000.   ");
}

// A page of fixed-pitch text: a character is as wide and as high as its font's points.
class FakeSurface : public PrintSurface {
  public:
    FakeSurface(int width, int height) : width_(width), height_(height) {}

    struct Draw {
        int page, x, y;
        std::string text;
        bool operator==(const Draw& o) const {
            return page == o.page && x == o.x && y == o.y && text == o.text;
        }
    };

    int printableWidth() const override { return width_; }
    int printableHeight() const override { return height_; }
    void setFont(const std::string&, int points) override { points_ = points; }
    int textWidth(const std::string& s) const override {
        return points_ * static_cast<int>(s.size());
    }
    int textHeight(const std::string&) const override { return points_; }
    int charHeight() const override { return points_; }
    void drawText(int x, int y, const std::string& s) override {
        draws.push_back({page_, x, y, s});
    }
    void newPage() override { ++page_; }

    std::vector<Draw> draws;

  private:
    int width_, height_;
    int points_ = 12;
    int page_ = 0;
};

using Draws = std::vector<FakeSurface::Draw>;

TEST(PagedTextOutput, LineHeightIsTheTallestPiecePlusTwo) {
    FakeSurface page(1000, 1000);
    PagedTextOutput out(page);
    out.beginDocument();
    out.setFont("Courier New", 12);
    out.write("ab");
    out.endLine();  // 14
    out.endLine();  // nothing written: the character height, 12
    out.setFont("Courier New", 8);
    out.write("c");
    out.setFont("Courier New", 12);
    out.write("d");  // 12 exceeds 8 + 2
    out.endLine();   // 14
    out.write("   ");
    out.setFont("Courier New", 8);
    out.write("e");  // 8 does not exceed 14
    out.endLine();   // 14
    out.write("f");
    out.endDocument();
    EXPECT_EQ(page.draws, (Draws{{0, 0, 0, "ab"},
                                 {0, 0, 26, "c"},
                                 {0, 8, 26, "d"},
                                 {0, 0, 40, "   "},
                                 {0, 36, 40, "e"},
                                 {0, 0, 54, "f"}}));
}

TEST(PagedTextOutput, PieceCutAtTheRightEdgeGoesOnTheNextLine) {
    FakeSurface page(100, 1000);  // 8 characters of 12 points
    PagedTextOutput out(page);
    out.beginDocument();
    out.write("0123456789AB");
    out.endLine();
    out.write("abc");
    out.write("defghijk");
    out.endLine();
    EXPECT_EQ(page.draws, (Draws{{0, 0, 0, "01234567"},
                                 {0, 0, 14, "89AB"},
                                 {0, 0, 28, "abc"},
                                 {0, 36, 28, "defgh"},
                                 {0, 0, 42, "ijk"}}));
}

TEST(PagedTextOutput, PageTooNarrowForOneCharacterStillPrintsEveryOne) {
    FakeSurface page(5, 1000);
    PagedTextOutput out(page);
    out.beginDocument();
    out.write("abc");
    out.endLine();
    EXPECT_EQ(page.draws, (Draws{{0, 0, 0, "a"}, {0, 0, 14, "b"}, {0, 0, 28, "c"}}));
}

TEST(PagedTextOutput, PageEndsWhenTwoMoreLinesWouldNotFit) {
    FakeSurface page(1000, 60);
    PagedTextOutput out(page);
    out.beginDocument();
    for (const char* s : {"1", "2", "3", "4"}) {
        out.write(s);
        out.endLine();
    }
    // y after a written line: 14, 28, 42 > 60 - 2 * 14, so a new page starts.
    EXPECT_EQ(page.draws,
              (Draws{{0, 0, 0, "1"}, {0, 0, 14, "2"}, {0, 0, 28, "3"}, {1, 0, 0, "4"}}));

    // Empty lines count a line height of 0: they break only past the page's end.
    for (const int emptyLines : {5, 6}) {
        FakeSurface blank(1000, 60);
        PagedTextOutput empty(blank);
        empty.beginDocument();
        for (int i = 0; i < emptyLines; ++i)
            empty.endLine();  // y = 12 each
        empty.write("a");
        const Draws expected = emptyLines == 5 ? Draws{{0, 0, 60, "a"}} : Draws{{1, 0, 0, "a"}};
        EXPECT_EQ(blank.draws, expected) << emptyLines << " empty lines";
    }
}

TEST(PagedTextOutput, ListingBreaksPagesBetweenAnyTwoLines) {
    const auto t = std::make_unique<KeyTable>();
    t->PocetKlicu = 40;
    FakeSurface page(68 * 12, 500);
    PagedTextOutput out(page);
    VypisSeznamKlicu(*t, kDate, out);
    int lastPage = 0;
    bool breakInsideAKey = false;
    for (std::size_t i = 0; i < page.draws.size(); ++i) {
        const auto& d = page.draws[i];
        EXPECT_LE(d.y, 500);
        EXPECT_LE(d.x + 12 * static_cast<int>(d.text.size()), 68 * 12) << d.text;
        if (d.page != lastPage) {
            EXPECT_EQ(d.y, 0);
            breakInsideAKey |= d.text == std::string(12, ' ');
            lastPage = d.page;
        }
    }
    EXPECT_GE(lastPage, 2);
    EXPECT_TRUE(breakInsideAKey);
}

}  // namespace
}  // namespace zak
