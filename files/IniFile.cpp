#include "IniFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "HexDigit.h"

namespace zak {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = lowerAscii(c);
    return r;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isQuoted(std::string_view s) {
    return s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front();
}

// What a reader gets from the raw text after the '=' of a key line.
std::string decodeValue(std::string_view raw) {
    std::string_view v = trim(raw);
    if (isQuoted(v))
        v = v.substr(1, v.size() - 2);
    return std::string(v.substr(0, IniFile::MaxValueLength));
}

// What is written for a value so that decodeValue gives it back, blanks at its ends
// apart: one line, and one more pair of quotation marks around a quoted text.
std::string encodeValue(std::string_view value) {
    std::string raw(value);
    for (char& c : raw) {
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    }
    const std::string_view core = trim(raw);
    if (isQuoted(core))
        return "\"" + std::string(core) + "\"";
    return raw;
}

enum class LineKind { Other, Section, Key };

struct Line {
    LineKind kind = LineKind::Other;
    std::size_t next = 0;  // start of the following line
    std::size_t nameBegin = 0, nameEnd = 0;
    std::size_t valueBegin = 0, valueEnd = 0;  // key lines: the value, trimmed
};

std::size_t skipBlanks(std::string_view t, std::size_t i, std::size_t end) {
    while (i < end && isBlank(t[i]))
        ++i;
    return i;
}

std::size_t backBlanks(std::string_view t, std::size_t begin, std::size_t i) {
    while (i > begin && isBlank(t[i - 1]))
        --i;
    return i;
}

// Classifies the line that starts at pos.
Line scanLine(std::string_view t, std::size_t pos) {
    Line line;
    std::size_t end = t.find_first_of("\r\n", pos);
    if (end == std::string_view::npos)
        end = t.size();
    line.next = end;
    if (line.next < t.size()) {
        line.next += (t[end] == '\r' && end + 1 < t.size() && t[end + 1] == '\n') ? 2 : 1;
    }

    const std::size_t first = skipBlanks(t, pos, end);
    if (first == end || t[first] == ';')
        return line;
    if (t[first] == '[') {
        const std::size_t close = t.find(']', first + 1);
        if (close == std::string_view::npos || close >= end)
            return line;
        line.kind = LineKind::Section;
        line.nameBegin = skipBlanks(t, first + 1, close);
        line.nameEnd = backBlanks(t, line.nameBegin, close);
        return line;
    }
    const std::size_t eq = t.find('=', first);
    if (eq == std::string_view::npos || eq >= end)
        return line;
    line.kind = LineKind::Key;
    line.nameBegin = first;
    line.nameEnd = backBlanks(t, first, eq);
    line.valueBegin = skipBlanks(t, eq + 1, end);
    line.valueEnd = backBlanks(t, line.valueBegin, end);
    return line;
}

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// Text before start (a byte order mark) is not a line of its own.
bool endsWithLineBreak(const std::string& s, std::size_t start) {
    return s.size() <= start || s.back() == '\n' || s.back() == '\r';
}

void appendLine(std::string& out, std::size_t start, std::string_view text) {
    if (!endsWithLineBreak(out, start))
        out += "\r\n";
    out += text;
    out += "\r\n";
}

}  // namespace

IniFile::IniFile(std::string text) : text_(std::move(text)) {
    const std::string_view t = text_;
    if (t.substr(0, ByteOrderMark.size()) == ByteOrderMark)
        start_ = ByteOrderMark.size();
    Section* current = nullptr;
    for (std::size_t pos = start_; pos < t.size();) {
        const Line line = scanLine(t, pos);
        if (line.kind == LineKind::Section) {
            current = nullptr;
            const std::string key =
                lowerAscii(t.substr(line.nameBegin, line.nameEnd - line.nameBegin));
            // Only the first section of a name is read or written; the others are kept
            // as text and nothing more.
            if (sectionIndex_.emplace(key, sections_.size()).second) {
                Section s;
                s.insertAt = line.next;
                sections_.push_back(std::move(s));
                current = &sections_.back();
            }
        } else if (line.kind == LineKind::Key && current) {
            // One pass indexes every key; the first of a name counts.
            current->insertAt = line.next;
            current->keys.emplace(
                lowerAscii(t.substr(line.nameBegin, line.nameEnd - line.nameBegin)),
                Span{line.valueBegin, line.valueEnd});
        }
        pos = line.next;
    }
}

IniFile::Section* IniFile::findSection(std::string_view name) {
    const auto it = sectionIndex_.find(lowerAscii(name));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

const IniFile::Section* IniFile::findSection(std::string_view name) const {
    const auto it = sectionIndex_.find(lowerAscii(name));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

std::optional<IniFile::Span> IniFile::findOriginalKey(const Section& s, std::string_view key) {
    const auto it = s.keys.find(lowerAscii(key));
    if (it == s.keys.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::string> IniFile::rawValue(const Section& s, std::string_view key) const {
    if (!s.added) {
        if (const auto span = findOriginalKey(s, key)) {
            const auto r = replaced_.find(span->begin);
            if (r != replaced_.end())
                return r->second.raw;
            return std::string(text_, span->begin, span->end - span->begin);
        }
    }
    for (const AddedKey& k : s.addedKeys) {
        if (sameName(k.name, key))
            return k.raw;
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    if (!s)
        return std::nullopt;
    const auto raw = rawValue(*s, key);
    if (!raw)
        return std::nullopt;
    return decodeValue(*raw);
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                const std::string& fallback) const {
    auto v = value(section, key);
    return v ? std::move(*v) : fallback;
}

int IniFile::readInteger(std::string_view section, std::string_view key, int fallback) const {
    const auto v = value(section, key);
    if (!v)
        return fallback;
    return parseInteger(*v).value_or(fallback);
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    std::string raw = encodeValue(value);
    Section* s = findSection(section);
    if (!s) {
        sectionIndex_.emplace(lowerAscii(section), sections_.size());
        Section added;
        added.name = std::string(section);
        added.added = true;
        sections_.push_back(std::move(added));
        s = &sections_.back();
    }
    if (!s->added) {
        if (const auto span = findOriginalKey(*s, key)) {
            replaced_[span->begin] = Replacement{span->end, std::move(raw)};
            return;
        }
    }
    for (AddedKey& k : s->addedKeys) {
        if (sameName(k.name, key)) {
            k.raw = std::move(raw);
            return;
        }
    }
    s->addedKeys.push_back(AddedKey{std::string(key), std::move(raw)});
}

std::string IniFile::bytes() const {
    // Every change is either a new value over an old one or new lines at a point of
    // the text; they are applied in text order in one pass.
    struct Edit {
        std::size_t at = 0;
        std::size_t end = 0;
        const Replacement* replacement = nullptr;
        const Section* insertion = nullptr;
    };
    std::vector<Edit> edits;
    edits.reserve(replaced_.size() + sections_.size());
    for (const auto& [begin, r] : replaced_)
        edits.push_back({begin, r.valueEnd, &r, nullptr});
    for (const Section& s : sections_) {
        if (!s.added && !s.addedKeys.empty())
            edits.push_back({s.insertAt, s.insertAt, nullptr, &s});
    }
    // At one point a new value (it ends the last line) comes before the lines after it.
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) {
        if (a.at != b.at)
            return a.at < b.at;
        return a.replacement && !b.replacement;
    });

    std::string out;
    out.reserve(text_.size() + text_.size() / 8 + 1024);
    std::size_t pos = 0;
    for (const Edit& e : edits) {
        out.append(text_, pos, e.at - pos);
        pos = e.end;
        if (e.replacement) {
            out += e.replacement->raw;
        } else {
            for (const AddedKey& k : e.insertion->addedKeys)
                appendLine(out, start_, k.name + "=" + k.raw);
        }
    }
    out.append(text_, pos, std::string::npos);

    for (const Section& s : sections_) {
        if (!s.added)
            continue;
        appendLine(out, start_, "[" + s.name + "]");
        for (const AddedKey& k : s.addedKeys)
            appendLine(out, start_, k.name + "=" + k.raw);
    }
    return out;
}

std::optional<int> IniFile::parseInteger(std::string_view text) {
    std::string_view s = text;
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (text.size() > 2 && s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return std::nullopt;

    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
    std::int64_t n = 0;
    for (const char c : s) {
        const int d = base == 16 ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (d < 0)
            return std::nullopt;
        n = n * base + d;
        if (n > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -n : n);
}

}  // namespace zak
