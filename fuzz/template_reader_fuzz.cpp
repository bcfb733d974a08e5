// libFuzzer target: the window template block reader must reject or accept
// any bytes without reading outside them, and what it accepts must write
// back to bytes that read again the same way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "windows/template_reader.h"
#include "windows/template_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char codeBase[64] = {};
    auto windows = mt::ReadTemplateBlock(data, size, codeBase);
    if (!windows)
        return 0;
    const std::string again = mt::WriteTemplateBlock(*windows);
    auto reread = mt::ReadTemplateBlock(reinterpret_cast<const uint8_t*>(again.data()), again.size(), codeBase);
    if (!reread || mt::WriteTemplateBlock(*reread) != again)
        std::abort();
    return 0;
}
