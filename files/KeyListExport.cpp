#include "KeyListExport.h"

#include <cstdio>
#include <vector>

#include "Cp1250.h"

namespace zak {

namespace {

// A key's texts in UTF-8 and its floors.
struct ExportedKey {
    int number = 0;
    std::string id;
    std::string comment;
    std::vector<int> floors;
};

std::string toUtf8(const std::string& text, int key, const char* what) {
    TextConversion c = Cp1250ToUtf8(text);
    if (!c.ok())
        throw KeyExportError("key " + std::to_string(key) + ": " + what + " " + c.error);
    return std::move(c.text);
}

std::vector<ExportedKey> exportedKeys(const KeyTable& t) {
    std::vector<ExportedKey> keys;
    for (int k = 1; k <= std::min<int>(t.PocetKlicu, MaxKlicu); ++k) {
        const TKlic& klic = t.klic(k);
        ExportedKey e;
        e.number = k;
        e.id = toUtf8(klic.ID, k, "ID");
        e.comment = toUtf8(klic.Komentar, k, "comment");
        e.floors = CislaPater(klic);
        keys.push_back(std::move(e));
    }
    return keys;
}

std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos)
        return s;
    std::string quoted = "\"";
    for (const char c : s) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string joined(const std::vector<int>& numbers, const char* separator) {
    std::string out;
    for (const int n : numbers) {
        if (!out.empty())
            out += separator;
        out += std::to_string(n);
    }
    return out;
}

}  // namespace

std::string KeysToCsv(const KeyTable& t) {
    std::string out = "number,ID,comment,floors\r\n";
    for (const ExportedKey& k : exportedKeys(t)) {
        out += std::to_string(k.number) + "," + csvField(k.id) + "," + csvField(k.comment) + "," +
               joined(k.floors, " ") + "\r\n";
    }
    return out;
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%.4X", static_cast<unsigned char>(c));
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string KeysToJson(const KeyTable& t) {
    const std::vector<ExportedKey> keys = exportedKeys(t);
    if (keys.empty())
        return "[]\n";
    std::string out = "[\n";
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const ExportedKey& k = keys[i];
        out += "  {\"number\": " + std::to_string(k.number) + ", \"id\": " + JsonString(k.id) +
               ", \"comment\": " + JsonString(k.comment) + ", \"floors\": [" +
               joined(k.floors, ", ") + "]}" + (i + 1 < keys.size() ? ",\n" : "\n");
    }
    return out + "]\n";
}

}  // namespace zak
