// Build-time tool: turns a list of named texts written in UTF-8 into a header
// of GB18030 byte literals, so that the runtime's own texts are exact bytes
// while their sources stay readable.
//
//   gbtexts INPUT OUTPUT
//
// INPUT lines: `Name "text"`, with \r \n \t \" \\ escapes; `#` starts a comment.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "tools/common/source_text.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: gbtexts INPUT OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << argv[1] << ": cannot open\n";
        return 1;
    }
    std::ostringstream out;
    out << "// Generated from " << argv[1] << "; do not edit.\n#pragma once\n\nnamespace mt::gb {\n\n";
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        tools::SourceLine src(line);
        if (src.atEnd())
            continue;
        std::string name = src.word();
        std::string utf8;
        if (name.empty() || !src.quoted(&utf8) || !src.atEnd()) {
            std::cerr << argv[1] << ":" << lineNo << ": expected: Name \"text\"\n";
            return 1;
        }
        std::string gb;
        if (!tools::Utf8ToGb18030(utf8, &gb)) {
            std::cerr << argv[1] << ":" << lineNo << ": text does not convert to GB18030\n";
            return 1;
        }
        out << "// " << tools::Printable(utf8) << "\ninline constexpr char " << name << "[] = " << tools::CLiteral(gb)
            << ";\ninline constexpr unsigned " << name << "Size = " << gb.size() << ";\n\n";
    }
    out << "} // namespace mt::gb\n";
    return tools::WriteIfChanged(argv[2], out.str()) ? 0 : 1;
}
