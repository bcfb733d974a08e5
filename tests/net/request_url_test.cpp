#include <gtest/gtest.h>

#include "net/request_url.h"

namespace mt {
namespace {

// Only what cannot go raw changes; everything else stays as typed.
TEST(RequestUrl, OnlyWhatCannotGoRawIsEncoded)
{
    const struct {
        const char* typed;
        const char* sent; // null: unusable
    } cases[] = {
        {"http://example.org/", "http://example.org/"},
        {"http://h/中文?q=值", "http://h/%E4%B8%AD%E6%96%87?q=%E5%80%BC"},
        {"http://h/a b?c d", "http://h/a%20b?c%20d"},
        {"http://h/%e4%b8%ad%zz%", "http://h/%e4%b8%ad%zz%"}, // existing escapes (and stray %) stay
        {"http://h/a\"<>`{}|\\^'[]", "http://h/a\"<>`{}|\\^'[]"},
        {"  http://h/x \t", "http://h/x"},
        {"http://h/x\r", "http://h/x"},
        {"http://h/x\r\n", "http://h/x"},
        {"http://h/x#片段 y", "http://h/x"},
        {"HTTPS://H:8080/P?Q", "HTTPS://H:8080/P?Q"},
        {"http://用户:密码@h/", "http://%E7%94%A8%E6%88%B7:%E5%AF%86%E7%A0%81@h/"},
        {"http://中文.localhost:81/路", "http://xn--fiq228c.localhost:81/%E8%B7%AF"},
        {"http://Bücher.example/", "http://xn--bcher-kva.example/"},
        {"http://faß.de/", "http://xn--fa-hia.de/"}, // non-transitional, as browsers
        {"http://[::1]:80/中", "http://[::1]:80/%E4%B8%AD"},
        {"http://under_score.h/", "http://under_score.h/"}, // an ASCII host stays as typed
        {"http://h", "http://h"},
        {"http://", "http://"},
        {"http://h?中", "http://h?%E4%B8%AD"},
        {"mailto:某人", "mailto:%E6%9F%90%E4%BA%BA"},
        {"h/中", "h/%E4%B8%AD"},  // no scheme: for the caller to refuse
        {"页:x", "%E9%A1%B5:x"},  // no scheme either
        {"http://a b/", nullptr}, // a space in the host
        {"http://h/x #y", "http://h/x%20"},
        {"http://h/a\tb", nullptr},
        {"http://h/a\nb", nullptr},
        {"http://h/\x7f", nullptr},
        {"\rhttp://h/", nullptr},
        {"http://h/\xff", nullptr},                     // not UTF-8
        {"http://\xe4\xb8/", nullptr},                  // cut short
        {"http://a\xef\xbf\xbd.b/", nullptr},           // a host without an ASCII form
        {"h://\xef\xb8\x96", nullptr},                  // maps to '?': would end the host
        {"http://a\xef\xbc\x8f\xe4\xb8\xad/", nullptr}, // maps to '/'
    };
    for (const auto& c : cases) {
        const RequestUrl r = MakeRequestUrl(c.typed);
        EXPECT_EQ(r.ok, c.sent != nullptr) << c.typed;
        if (c.sent && r.ok) {
            EXPECT_EQ(r.url, c.sent) << c.typed;
        }
    }
    EXPECT_FALSE(MakeRequestUrl(std::string_view("http://h/\0", 10)).ok) << "a zero byte";
    // What is sent is sent again unchanged.
    for (const auto& c : cases) {
        const RequestUrl once = MakeRequestUrl(c.typed);
        if (once.ok) {
            EXPECT_EQ(MakeRequestUrl(once.url).url, once.url) << c.typed;
        }
    }
}

} // namespace
} // namespace mt
