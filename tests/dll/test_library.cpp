// A shared library for the DLL-command tests: a routine that takes several
// kinds of argument and answers from all of them.
#include <cstdint>
#include <cstring>

extern "C" __attribute__((visibility("default"))) int64_t mt_test_mix(int32_t a, int64_t b, const char* text, double d)
{
    return a * 1000 + b + static_cast<int64_t>(std::strlen(text)) * 10 + static_cast<int64_t>(d);
}
