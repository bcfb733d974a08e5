// The check of a suggested pair: the extraction itself, run with the text
// commands exactly as the tool's extraction calls them.
#include <climits>
#include <string>

#include "abi/text_value.h"
#include "commands/rule_suggestion.h"
#include "commands/text_commands.h"

namespace mt {
namespace {

ValueRecord TextRecord(const char* text) { return MakePointer(text, kTypeText); }

int32_t Call(void (*command)(ValueRecord*, int32_t, ValueRecord*), std::initializer_list<ValueRecord> args)
{
    ValueRecord records[4];
    int32_t n = 0;
    for (const ValueRecord& a : args)
        records[n++] = a;
    ValueRecord result{};
    command(&result, n, records);
    return AsInt32(result);
}

// A text a command returned; freed when it goes.
class ResultText {
public:
    explicit ResultText(const ValueRecord& r) : text_(AsPointer<char>(r)) {}
    ResultText(const ResultText&) = delete;
    ResultText& operator=(const ResultText&) = delete;
    ~ResultText() { svc::Free(text_); }
    const char* text() const { return text_ ? text_ : ""; }

private:
    char* text_;
};

ResultText Middle(const char* text, int32_t start, int32_t length)
{
    ValueRecord args[3] = {TextRecord(text), MakeInt(start), MakeInt(length)};
    ValueRecord result{};
    取文本中间(&result, 3, args);
    return ResultText(result);
}

// 寻找文本(text, sought, omitted, false).
int32_t Find(const char* text, const char* sought)
{
    return Call(寻找文本, {TextRecord(text), TextRecord(sought), Omitted(), MakeBool(false)});
}

} // namespace

bool ExtractionGives(const SuggestionExample& example, std::string_view left, std::string_view right)
{
    if (example.page.size() >= INT32_MAX)
        return false; // positions beyond the integer range cannot be told
    const std::string page(example.page), l(left), r(right);
    const int32_t n = Call(取文本长度, {TextRecord(page.c_str())});
    if (Find(page.c_str(), l.c_str()) == -1 || Find(page.c_str(), r.c_str()) == -1)
        return false;
    const int32_t p = Find(page.c_str(), l.c_str());
    const int32_t s = p + Call(取文本长度, {TextRecord(l.c_str())});
    const ResultText tail = Middle(page.c_str(), s, n - s + 1);
    const int32_t e = Find(tail.text(), r.c_str()) - 1;
    const ResultText middle = Middle(tail.text(), 1, e);
    const std::string_view got = middle.text();
    if (example.byText)
        return got == example.wanted;
    return static_cast<size_t>(s - 1) == example.start && got == example.page.substr(example.start, example.length) &&
           got.size() == example.length;
}

} // namespace mt
