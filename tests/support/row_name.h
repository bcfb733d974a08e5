// Names for the rows of a table that runs as one case per row (TEST_P): the
// row's description with its words run together, each with a capital, so
// that the row "an empty page, a text" is reported as ...Case/AnEmptyPageAText.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace mt::test {

inline std::string RowName(std::string_view description)
{
    std::string name;
    bool wordStart = true;
    for (const char c : description) {
        if (c == '\'')
            continue; // "the page's end" is ThePagesEnd
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (letterOrDigit)
            name += wordStart && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        wordStart = !letterOrDigit;
    }
    return name;
}

// The name generator of INSTANTIATE_TEST_SUITE_P for rows with a `name`.
struct ByRowName {
    template <class Row>
    std::string operator()(const testing::TestParamInfo<Row>& info) const
    {
        return RowName(info.param.name);
    }
};

} // namespace mt::test
