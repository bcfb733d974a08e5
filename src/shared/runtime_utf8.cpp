#include "runtime_utf8.h"

#include <algorithm>

#include "abi/text_value.h"
#include "console_text.h"
#include "json_lines.h"

namespace app {

bool RuntimeToUtf8(std::string_view text, std::string* utf8)
{
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        utf8->assign(text);
        return true;
    }
    bool ok = false;
    const Owned bytes = NewBytes(text);
    const Owned converted = ConvertBytes(bytes.bytes(), Lit(lit::EncodingGb18030), Lit(lit::EncodingUtf8), &ok);
    if (!ok || converted.empty())
        return false;
    utf8->assign(mt::ByteArrayView(converted.bytes()));
    return true;
}

std::string RuntimeUtf8(std::string_view text, bool* lossy)
{
    std::string utf8;
    if (RuntimeToUtf8(text, &utf8))
        return utf8;
    *lossy = true;
    static const ConsoleText replacing = ConsoleText::ForEncoding("UTF-8");
    return replacing.encode(text);
}

std::string HintJson(const RuleHint& hint, bool* lossy)
{
    if (hint.code == mt::DiagnosisCode::kNone)
        return "null";
    JsonObject object;
    object.text("code", mt::DiagnosisName(hint.code));
    if (hint.position > 0)
        object.number("position", hint.position);
    else
        object.escaped("position", "null");
    object.number("length", hint.length).text("text", RuntimeUtf8(hint.text.view(), lossy));
    std::string line = object.line();
    line.pop_back(); // the line break
    return line;
}

} // namespace app
