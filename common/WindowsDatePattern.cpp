#include "RegionalSettings.h"

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
        return "MMM";
    case 'B':
        return "MMMM";
    case 'a':
        return "ddd";
    case 'A':
        return "dddd";
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
        if (conversion == '%')
            literal.put('%');
        else
            out += windowsLetters(conversion, unpadded);
    }
    literal.close();
    return out;
}
