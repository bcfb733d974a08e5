// Fuzz target: the table conversion of terminal UTF-8 to GB18030 against
// iconv itself. Whatever the table claims to convert whole must be what
// iconv makes of it, and it writes no more than twice the input's size.
#include <iconv.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "shared/utf8_to_gb18030.h"

namespace {

bool Iconv(std::string_view utf8, std::string* gb)
{
    iconv_t cd = iconv_open("GB18030", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::vector<char> out(4 * utf8.size() + 16);
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* o = out.data();
    size_t outLeft = out.size();
    const bool ok = iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<size_t>(-1) &&
                    iconv(cd, nullptr, nullptr, &o, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    gb->assign(out.data(), static_cast<size_t>(o - out.data()));
    return ok;
}

const app::Utf8ToGb18030& Table()
{
    static const app::Utf8ToGb18030 table(Iconv);
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view utf8(reinterpret_cast<const char*>(data), size);
    std::vector<char> out(2 * size); // exactly the room promised
    bool whole = false;
    const size_t produced = Table().convert(utf8, out.data(), &whole);
    if (!whole)
        return 0;
    std::string expected;
    if (!Iconv(utf8, &expected) || expected != std::string_view(out.data(), produced))
        std::abort();
    return 0;
}
