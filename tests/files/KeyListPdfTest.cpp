#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPrinter>
#include <QString>

#include <cstdio>
#include <memory>
#include <regex>
#include <string>

#include "KeyListPrinting.h"
#include "Kodovani.h"
#include "TempFolder.h"

namespace zak {
namespace {

// The text of a PDF file in UTF-8 as pdftotext lays it out, each run of blanks made
// one blank and the blanks at the start of a line dropped: pdftotext places words
// at about, not exactly, their columns.
std::string pdfText(const std::string& pdf) {
    std::string out;
    FILE* p = popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r");
    if (!p)
        return out;
    char buf[4096];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;)
        out.append(buf, n);
    EXPECT_EQ(pclose(p), 0);
    return std::regex_replace(std::regex_replace(out, std::regex(" +"), " "),
                              std::regex("(^|\n|\f) "), "$1");
}

std::string printed(const KeyTable& t, const std::string& pdf) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    EXPECT_EQ(TiskniSeznamKlicu(&printer, t, QStringLiteral("10.12.2024")), QString());
    return pdfText(pdf);
}

bool has(const std::string& text, const std::string& utf8) {
    return text.find(utf8) != std::string::npos;
}

TEST(KeyListPdf, PrintsTheListingAsText) {
    test::TempFolder folder;
    const auto t = std::make_unique<KeyTable>();
    t->PocetKlicu = 2;
    t->klic(1).ID = "0A1B2C3D4E5F60";
    t->klic(1).Komentar = doCp1250(QString::fromUtf8("Kancelář flotila"));
    t->klic(1).Patra[2] = t->klic(1).Patra[23] = 1;

    const std::string text = printed(*t, folder.file("seznam.pdf"));
    EXPECT_TRUE(has(text, "ZAK1 - seznam přístupových klíčů:")) << text;
    EXPECT_TRUE(has(text, "Objekt: " + std::string(42, '.'))) << text;
    EXPECT_TRUE(has(text, "Poznámka: " + std::string(40, '.'))) << text;
    EXPECT_TRUE(has(text, "(Výpis ze dne 10.12.2024)")) << text;
    // "fl" prints as two letters, and the 68 places of a key's line fit across the page.
    EXPECT_TRUE(has(text, "\n1. 0A1B2C3D4E5F60 Kancelář flotila " + std::string(23, '.') + "\n"))
        << text;
    EXPECT_TRUE(has(text, "\nZpřístupněna patra č.: 3,24,\n")) << text;
    EXPECT_TRUE(has(text, "\n2. " + std::string(39, '.') + "\nZpřístupněna patra č.:\n")) << text;
    EXPECT_EQ(text.find('\f'), text.rfind('\f')) << "one page";
}

TEST(KeyListPdf, LongListRunsOnOverPages) {
    test::TempFolder folder;
    const auto t = std::make_unique<KeyTable>();
    t->PocetKlicu = 100;
    for (int k = 1; k <= 100; ++k)
        t->klic(k).ID = "ID" + std::to_string(k);

    const std::string text = printed(*t, folder.file("seznam.pdf"));
    int pages = 0;
    for (char c : text)
        pages += c == '\f';
    EXPECT_GE(pages, 5);
    for (int k = 1; k <= 100; ++k) {
        const std::regex line("[\n\f]" + std::to_string(k) + "\\. ID" + std::to_string(k) +
                              " \\.{39}\n");
        EXPECT_TRUE(std::regex_search(text, line)) << "key " << k;
    }
}

TEST(KeyListPdf, PrinterThatCannotBeginGivesTheMessage) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/nonexistent-folder/seznam.pdf"));
    const auto t = std::make_unique<KeyTable>();
    EXPECT_EQ(TiskniSeznamKlicu(&printer, *t, QStringLiteral("1.1.2024")),
              QStringLiteral("Unable to print to /nonexistent-folder/seznam.pdf"));
}

}  // namespace
}  // namespace zak

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
