#include "common/RegionalSettings.h"

namespace {

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Windows letters for one strftime conversion; unpadded says a '-' or '_' flag asked for no zero.
std::string_view windowsLetters(char conversion, bool unpadded) {
    switch (conversion) {
    case 'd':
        return unpadded ? "d" : "dd";
    case 'e':
        return "d";
    case 'm':
        return unpadded ? "M" : "MM";
    case 'y':
        return "yy";
    case 'Y':
    case 'G':
        return "yyyy";
    case 'b':
    case 'h':
    case 'B':
        return "MM"; // the log writes numbers only: a month name becomes its number
    case 'D':
        return "MM/dd/yy";
    case 'F':
        return "yyyy-MM-dd";
    case 't':
        return "\t";
    default:
        return "";
    }
}

bool isWeekday(char conversion) {
    return conversion == 'a' || conversion == 'A';
}

// The blanks and commas that part a weekday name from the rest of a date, as in "%A, %d %b".
bool isWeekdayGap(char c) {
    return c == ' ' || c == ',';
}

// Appends literal text, quoting runs of letters as Windows patterns do ('' is a literal quote).
class LiteralWriter {
public:
    explicit LiteralWriter(std::string& out) : m_out(out) {}
    ~LiteralWriter() { close(); }
    void put(char c) {
        if (c == '\'') {
            close();
            m_out += "''";
            return;
        }
        if (isAsciiLetter(c) != m_quoted) {
            m_quoted ? close() : open();
        }
        m_out += c;
    }
    void close() {
        if (m_quoted)
            m_out += '\'';
        m_quoted = false;
    }

private:
    void open() {
        m_out += '\'';
        m_quoted = true;
    }
    std::string& m_out;
    bool m_quoted = false;
};

} // namespace

std::string WindowsDatePattern(std::string_view strftimePattern) {
    std::string out;
    LiteralWriter literal(out);
    for (std::size_t i = 0; i < strftimePattern.size(); ++i) {
        const char c = strftimePattern[i];
        if (c != '%' || i + 1 == strftimePattern.size()) {
            literal.put(c);
            continue;
        }
        bool unpadded = false;
        while (i + 1 < strftimePattern.size() &&
               std::string_view("-_0^#").find(strftimePattern[i + 1]) != std::string_view::npos) {
            unpadded = unpadded || strftimePattern[i + 1] == '-' || strftimePattern[i + 1] == '_';
            ++i;
        }
        if (i + 1 < strftimePattern.size() &&
            (strftimePattern[i + 1] == 'E' || strftimePattern[i + 1] == 'O'))
            ++i;
        if (i + 1 == strftimePattern.size())
            break;
        const char conversion = strftimePattern[++i];
        literal.close();
        if (conversion == '%') {
            literal.put('%');
        } else if (isWeekday(conversion)) {
            // The log has no weekday: the name goes with the gap after it, or before it at the end.
            while (i + 1 < strftimePattern.size() && isWeekdayGap(strftimePattern[i + 1]))
                ++i;
            if (i + 1 == strftimePattern.size()) {
                while (!out.empty() && isWeekdayGap(out.back()))
                    out.pop_back();
            }
        } else {
            out += windowsLetters(conversion, unpadded);
        }
    }
    literal.close();
    return out;
}
