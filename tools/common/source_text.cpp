#include "tools/common/source_text.h"

#include <iconv.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

namespace tools {

void SourceLine::skipBlanks()
{
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r'))
        ++pos_;
    if (pos_ < s_.size() && s_[pos_] == '#')
        pos_ = s_.size();
}

std::string SourceLine::word()
{
    size_t start = pos_;
    while (pos_ < s_.size() && s_[pos_] != ' ' && s_[pos_] != '\t' && s_[pos_] != '\r')
        ++pos_;
    std::string w = s_.substr(start, pos_ - start);
    skipBlanks();
    return w;
}

bool SourceLine::quoted(std::string* text)
{
    if (!peekQuote())
        return false;
    ++pos_;
    text->clear();
    while (pos_ < s_.size() && s_[pos_] != '"') {
        char c = s_[pos_++];
        if (c != '\\') {
            text->push_back(c);
            continue;
        }
        if (pos_ >= s_.size())
            return false;
        char e = s_[pos_++];
        switch (e) {
        case 'r': text->push_back('\r'); break;
        case 'n': text->push_back('\n'); break;
        case 't': text->push_back('\t'); break;
        case '0': text->push_back('\0'); break;
        case '"':
        case '\\': text->push_back(e); break;
        default: return false;
        }
    }
    if (pos_ >= s_.size())
        return false;
    ++pos_;
    skipBlanks();
    return true;
}

bool SourceLine::integer(long long* value)
{
    std::string w = word();
    if (w.empty())
        return false;
    try {
        size_t used = 0;
        *value = std::stoll(w, &used, 0);
        return used == w.size();
    } catch (...) {
        return false;
    }
}

bool Utf8ToGb18030(const std::string& utf8, std::string* gb)
{
    gb->clear();
    if (utf8.empty())
        return true;
    iconv_t cd = iconv_open("GB18030", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string in = utf8;
    std::string out(in.size() * 4 + 16, '\0');
    char* ip = in.data();
    size_t il = in.size();
    char* op = out.data();
    size_t ol = out.size();
    size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1) || il != 0)
        return false;
    out.resize(out.size() - ol);
    *gb = out;
    return true;
}

std::string CLiteral(const std::string& bytes)
{
    std::string out = "\"";
    bool lastHex = false;
    for (unsigned char c : bytes) {
        bool plain = c >= 0x20 && c < 0x7f && c != '"' && c != '\\' && c != '?';
        // A plain hex digit right after a \x escape would extend it.
        if (plain && !(lastHex && std::isxdigit(c))) {
            out.push_back(static_cast<char>(c));
            lastHex = false;
            continue;
        }
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02x", c);
        out += buf;
        lastHex = true;
    }
    return out + "\"";
}

std::string Printable(const std::string& utf8)
{
    std::string out;
    for (char c : utf8) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\0')
            out += "\\0";
        else
            out.push_back(c);
    }
    return out;
}

bool WriteIfChanged(const std::string& path, const std::string& contents)
{
    {
        std::ifstream old(path, std::ios::binary);
        if (old) {
            std::ostringstream ss;
            ss << old.rdbuf();
            if (ss.str() == contents)
                return true;
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        std::cerr << path << ": cannot write\n";
        return false;
    }
    out << contents;
    return static_cast<bool>(out);
}

} // namespace tools
