#include "case_report.h"

#include "shared/cli_messages.h"
#include "shared/json_lines.h"
#include "shared/runtime_utf8.h"

namespace app {
namespace {

// A runtime text as a JSON string: the UTF-8 it converts to, or with
// bytes that do not decode replaced (*lossy then set).
std::string JsonText(std::string_view text, bool* lossy)
{
    std::string out;
    const std::string utf8 = RuntimeUtf8(text, lossy);
    *lossy = AppendJsonString(&out, utf8) || *lossy;
    return out;
}

// A runtime text as a terminal shows it: a JSON string, or the hex of its
// GB18030 bytes when they are not all characters.
std::string ShownText(std::string_view text)
{
    std::string utf8, out;
    if (!RuntimeToUtf8(text, &utf8))
        return "gbk:\"" + EncodeHex(text) + "\"";
    AppendJsonString(&out, utf8);
    return out;
}

std::string Shown(bool all, bool found, const std::vector<std::string>& texts)
{
    if (!all)
        return found && !texts.empty() ? ShownText(texts.front()) : "not found";
    std::string out = "[";
    for (const std::string& text : texts)
        out.append(out.size() > 1 ? ", " : "").append(ShownText(text));
    return out + "]";
}

// How many bytes from `at` back to the start of the character there.
size_t CharacterStart(std::string_view s, size_t at)
{
    while (at > 0 && at < s.size() && (static_cast<unsigned char>(s[at]) & 0xC0) == 0x80)
        --at;
    return at;
}

std::string Window(const std::string& s, size_t from, size_t width)
{
    from = CharacterStart(s, from);
    size_t to = std::min(s.size(), from + width);
    to = CharacterStart(s, to);
    std::string out(from > 0 ? "..." : "");
    return out.append(s, from, to - from).append(to < s.size() ? "..." : "");
}

const char* StatusName(CaseOutcome::Status s)
{
    return s == CaseOutcome::Status::kOk ? "ok" : s == CaseOutcome::Status::kFail ? "fail"
                                                                                  : "error";
}

} // namespace

std::string OutcomeJson(bool all, bool found, const std::vector<std::string>& texts, bool* lossy)
{
    if (!all)
        return found && !texts.empty() ? JsonText(texts.front(), lossy) : "null";
    std::string out = "[";
    for (const std::string& text : texts)
        out.append(out.size() > 1 ? "," : "").append(JsonText(text, lossy));
    return out + "]";
}

void ShortenAroundDifference(std::string* a, std::string* b, size_t width)
{
    if (a->size() <= width && b->size() <= width)
        return;
    size_t differ = 0;
    while (differ < a->size() && differ < b->size() && (*a)[differ] == (*b)[differ])
        ++differ;
    const size_t from = differ > width / 3 ? differ - width / 3 : 0;
    *a = Window(*a, from, width);
    *b = Window(*b, from, width);
}

std::string CaseLines(const TestCase& c, const CaseOutcome& o, bool updated)
{
    const std::string name = EchoArgument(c.name);
    switch (o.status) {
    case CaseOutcome::Status::kOk:
        return "ok " + name + "\n";
    case CaseOutcome::Status::kError:
        return "ERROR " + name + "\n  " + o.reason + "\n";
    case CaseOutcome::Status::kFail:
        break;
    }
    std::string expected = Shown(c.all, c.found, o.expected), got = Shown(c.all, o.found, o.got);
    ShortenAroundDifference(&expected, &got);
    std::string lines = updated ? "updated " + name + "\n  was:      " + expected + "\n  now:      " + got
                                : "FAIL " + name + "\n  expected: " + expected + "\n  got:      " + got;
    lines += (c.all || !o.found ? " (" + o.reason + ")" : std::string()) + "\n";
    if (o.hint.code != mt::DiagnosisCode::kNone) {
        std::string hint;
        if (!RuntimeToUtf8(o.hint.text.view(), &hint))
            hint = std::string(mt::DiagnosisName(o.hint.code));
        lines += "  hint:     " + EchoArgument(hint) + "\n";
    }
    return lines;
}

std::string CaseJson(const std::string& file, const TestCase& c, const CaseOutcome& o)
{
    bool lossy = false;
    JsonObject object;
    object.text("file", file).number("line", static_cast<int64_t>(c.line)).text("name", c.name);
    object.text("status", StatusName(o.status));
    object.escaped("expect", OutcomeJson(c.all, c.found, o.expected, &lossy));
    const bool error = o.status == CaseOutcome::Status::kError;
    object.escaped("got", error ? "null" : OutcomeJson(c.all, o.found, o.got, &lossy));
    object.escaped("hint", HintJson(o.hint, &lossy));
    std::string quoted;
    AppendJsonString(&quoted, o.reason);
    object.escaped("error", error ? quoted : "null");
    object.escaped("reason", o.status == CaseOutcome::Status::kFail ? quoted : "null");
    if (lossy)
        object.markLossy();
    return object.line();
}

std::string XmlText(std::string_view s, bool attribute)
{
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b >= 0x80) {
            const size_t n = Utf8CharacterLength(s.substr(i));
            // U+FFFE and U+FFFF are not characters XML holds.
            const bool allowed = n != 0 && !(n == 3 && b == 0xEF && s[i + 1] == '\xbf' && (static_cast<unsigned char>(s[i + 2]) & 0xFE) == 0xBE);
            out += allowed ? s.substr(i, n) : "\xef\xbf\xbd";
            i += allowed ? n : 1;
            continue;
        }
        switch (b) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        case '\t': out += attribute ? "&#9;" : "\t"; break;
        case '\n': out += attribute ? "&#10;" : "\n"; break;
        case '\r': out += "&#13;"; break;
        default: out += b < 0x20 || b == 0x7F ? std::string_view("\xef\xbf\xbd") : s.substr(i, 1);
        }
        ++i;
    }
    return out;
}

std::string JunitXml(const std::vector<JunitSuite>& suites)
{
    const auto counts = [](const std::vector<const CaseOutcome*>& outcomes) {
        size_t failures = 0, errors = 0;
        for (const CaseOutcome* o : outcomes) {
            failures += o->status == CaseOutcome::Status::kFail;
            errors += o->status == CaseOutcome::Status::kError;
        }
        std::string out("tests=\"");
        return out.append(std::to_string(outcomes.size())).append("\" failures=\"").append(std::to_string(failures)).append("\" errors=\"").append(std::to_string(errors)).append("\"");
    };
    std::vector<const CaseOutcome*> every;
    for (const JunitSuite& suite : suites)
        every.insert(every.end(), suite.outcomes.begin(), suite.outcomes.end());
    // Appended piece by piece (GCC 12 at -O3 warns falsely on "literal" + text).
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"middletext test\" ";
    xml.append(counts(every)).append(">\n");
    for (const JunitSuite& suite : suites) {
        const std::string file = XmlText(suite.file, true);
        xml.append("  <testsuite name=\"").append(file).append("\" ").append(counts(suite.outcomes)).append(">\n");
        for (size_t k = 0; k < suite.cases.size(); ++k) {
            const TestCase& c = *suite.cases[k];
            const CaseOutcome& o = *suite.outcomes[k];
            xml.append("    <testcase classname=\"").append(file).append("\" name=\"").append(XmlText(c.name, true));
            if (o.status == CaseOutcome::Status::kOk) {
                xml.append("\"/>\n");
                continue;
            }
            const bool failed = o.status == CaseOutcome::Status::kFail;
            xml.append("\">\n      <").append(failed ? "failure" : "error").append(" message=\"");
            xml.append(XmlText(o.reason, true)).append("\"");
            if (failed) {
                std::string lines = CaseLines(c, o);
                lines.erase(0, lines.find('\n') + 1); // the FAIL line itself is the element
                xml.append(">").append(XmlText(lines)).append("</failure>\n");
            } else {
                xml.append("/>\n");
            }
            xml.append("    </testcase>\n");
        }
        xml.append("  </testsuite>\n");
    }
    return xml.append("</testsuites>\n");
}

} // namespace app
