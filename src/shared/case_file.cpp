#include "case_file.h"

#include <algorithm>
#include <iterator>

#include <nlohmann/json.hpp>

#include "cli_messages.h"

namespace app {
namespace {

using Json = nlohmann::ordered_json;

// The fields of a case, in the order a case is usually written.
constexpr std::string_view kFields[] = {"name", "source", "source_gbk", "left", "left_gbk",
                                        "right", "right_gbk", "all", "expect", "expect_gbk"};

bool IsUrl(std::string_view s)
{
    const auto starts = [s](std::string_view prefix) {
        return s.size() > prefix.size() && std::equal(prefix.begin(), prefix.end(), s.begin(), [](char p, char c) {
                   return p == (c >= 'A' && c <= 'Z' ? c + 0x20 : c);
               });
    };
    return starts("http://") || starts("https://");
}

std::string Quoted(std::string_view name)
{
    std::string out(1, '"'); // built in place: GCC 12 at -O3 warns falsely on "\"" + text
    out += EchoArgument(name);
    out += '"';
    return out;
}

// A JSON parse message without the library's tag ("[json.exception...] ")
// and the line it counts (always 1 here).
std::string ParseMessage(const std::string& what)
{
    std::string_view m = what;
    // "[json.exception.parse_error.101] parse error at line 1, column 5: ..."
    if (const size_t tag = m.find("] "); m.substr(0, 1) == "[" && tag != std::string_view::npos)
        m.remove_prefix(tag + 2);
    constexpr std::string_view kAt = "parse error at line 1, ";
    if (m.substr(0, kAt.size()) == kAt)
        m.remove_prefix(kAt.size());
    return "not JSON: " + std::string(m);
}

class LineReader {
public:
    LineReader(const Json& object, CaseUse use, TestCase* out) : object_(object), use_(use), out_(out) {}

    bool run(std::string* reason)
    {
        for (const auto& [key, value] : object_.items()) {
            if (std::find(std::begin(kFields), std::end(kFields), key) == std::end(kFields)) {
                const std::vector<std::string_view> names(std::begin(kFields), std::end(kFields));
                const std::string closest = ClosestName(key, names);
                return Fail(reason, "unknown field " + Quoted(key) +
                                        (closest.empty() ? "" : " (did you mean " + Quoted(closest) + "?)"));
            }
        }
        if (!name() || !source() || !flag("all", &out_->all))
            return Fail(reason, error_);
        if (use_ == CaseUse::kTest && (!text("left", &out_->left) || !text("right", &out_->right)))
            return Fail(reason, error_);
        if (!expect())
            return Fail(reason, error_);
        if (use_ == CaseUse::kSuggest)
            return true;
        if (!out_->left || !out_->right)
            return Fail(reason, std::string("no ") + (out_->left ? "right" : "left") + " text (" +
                                    (out_->left ? "right or right_gbk" : "left or left_gbk") + ")");
        if (out_->all && (out_->left->bytes.empty() || out_->right->bytes.empty()))
            return Fail(reason, "\"all\": true needs a left and a right text that are not empty");
        return true;
    }

private:
    static bool Fail(std::string* reason, std::string why)
    {
        *reason = std::move(why);
        return false;
    }
    bool wrong(std::string why)
    {
        error_ = std::move(why);
        return false;
    }
    const Json* find(std::string_view key) const
    {
        const auto at = object_.find(key);
        return at == object_.end() ? nullptr : &*at;
    }

    bool name()
    {
        out_->name = std::to_string(out_->line);
        const Json* v = find("name");
        if (!v)
            return true;
        if (!v->is_string() || v->get_ref<const std::string&>().empty())
            return wrong("name must be a text that is not empty");
        out_->name = v->get<std::string>();
        return true;
    }

    bool source()
    {
        const Json* v = find("source");
        if (!v)
            return wrong("no source (a file or an http:// or https:// URL)");
        if (!v->is_string() || v->get_ref<const std::string&>().empty())
            return wrong("source must be a text that is not empty");
        out_->source = v->get<std::string>();
        if (out_->source.find('\0') != std::string::npos)
            return wrong("source holds a zero byte");
        out_->url = IsUrl(out_->source);
        if (!flag("source_gbk", &out_->sourceGbk))
            return false;
        if (out_->url && out_->sourceGbk)
            return wrong("source_gbk is for a file: a page is decoded from the charset it declares");
        return true;
    }

    bool flag(const char* key, bool* to)
    {
        const Json* v = find(key);
        if (v && !v->is_boolean())
            return wrong(std::string(key) + " must be true or false");
        *to = v && v->get<bool>();
        return true;
    }

    // One text from its plain or hex form; the hex form names the field
    // with _gbk. No text may hold a zero byte: the runtime's texts end there.
    bool one(const Json& v, const std::string& key, bool gbk, CaseText* to)
    {
        if (!v.is_string())
            return wrong(key + (gbk ? " must be hex digits in a text" : " must be a text"));
        to->gbk = gbk;
        const std::string& s = v.get_ref<const std::string&>();
        if (gbk && !DecodeHex(s, &to->bytes))
            return wrong(key + ": " +
                         (s.size() % 2 ? "hex needs an even number of digits" : "not hex digits (0-9, a-f)"));
        if (!gbk)
            to->bytes = s;
        if (to->bytes.find('\0') != std::string::npos)
            return wrong(key + " holds a zero byte, which would end the text");
        return true;
    }

    // The field `key` or `key`_gbk, at most one of them.
    const Json* either(const std::string& key, bool* gbk)
    {
        const Json* plain = find(key);
        const Json* hex = find(key + "_gbk");
        if (plain && hex) {
            wrong("both " + key + " and " + key + "_gbk: give one");
            return nullptr;
        }
        *gbk = hex != nullptr;
        return plain ? plain : hex;
    }

    bool text(const std::string& key, std::optional<CaseText>* to)
    {
        bool gbk = false;
        const Json* v = either(key, &gbk);
        if (!v)
            return error_.empty();
        to->emplace();
        return one(*v, key + (gbk ? "_gbk" : ""), gbk, &**to);
    }

    bool expect()
    {
        bool gbk = false;
        const Json* v = either("expect", &gbk);
        if (!v)
            return error_.empty() && wrong("no expect (or expect_gbk): the middle text this case gives");
        const std::string key = gbk ? "expect_gbk" : "expect";
        if (use_ == CaseUse::kSuggest && (out_->all || v->is_null()))
            return wrong("a suggestion needs the one middle text of each page, not " +
                         std::string(out_->all ? "\"all\"" : "null"));
        if (out_->all) {
            if (!v->is_array())
                return wrong("with \"all\": true, " + key + " is an array of every middle text");
            for (const Json& item : *v) {
                out_->expect.emplace_back();
                if (!one(item, key + "[" + std::to_string(out_->expect.size() - 1) + "]", gbk, &out_->expect.back()))
                    return false;
            }
            return true;
        }
        if (v->is_array())
            return wrong(key + " is one text or null (an array needs \"all\": true)");
        out_->found = !v->is_null();
        if (!out_->found)
            return true;
        out_->expect.emplace_back();
        return one(*v, key, gbk, &out_->expect.back());
    }

    const Json& object_;
    CaseUse use_;
    TestCase* out_;
    std::string error_;
};

bool Blank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// The line parsed; a key given twice is an error of its own (the library
// would keep the last one silently).
bool ParseJson(std::string_view line, Json* object, std::string* reason)
{
    std::string twice;
    try {
        std::vector<std::string> keys;
        *object = Json::parse(line.begin(), line.end(), [&keys, &twice](int depth, Json::parse_event_t event, Json& parsed) {
            if (event == Json::parse_event_t::key && depth == 1) {
                const std::string& key = parsed.get_ref<const std::string&>();
                if (twice.empty() && std::find(keys.begin(), keys.end(), key) != keys.end())
                    twice = key;
                keys.push_back(key);
            }
            return true;
        });
    } catch (const Json::exception& e) { // a syntax error, or a number too large to hold
        *reason = ParseMessage(e.what());
        return false;
    }
    if (!object->is_object()) {
        *reason = std::string("a case is a JSON object, not ") + object->type_name();
        return false;
    }
    if (!twice.empty()) {
        *reason = "field " + Quoted(twice) + " given twice";
        return false;
    }
    return true;
}

} // namespace

bool ParseCaseLine(std::string_view line, size_t number, CaseUse use, TestCase* out, std::string* reason)
{
    Json object;
    if (!ParseJson(line, &object, reason))
        return false;
    *out = TestCase{};
    out->line = number;
    return LineReader(object, use, out).run(reason);
}

void ParseCaseFile(std::string_view contents, CaseUse use, std::vector<TestCase>* cases,
                   std::vector<CaseLineError>* errors)
{
    if (contents.substr(0, 3) == "\xef\xbb\xbf")
        contents.remove_prefix(3); // a byte-order mark some editors write
    size_t number = 0;
    while (!contents.empty()) {
        const size_t end = contents.find('\n');
        std::string_view line = contents.substr(0, end);
        contents.remove_prefix(end == std::string_view::npos ? contents.size() : end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (Blank(line))
            continue;
        TestCase c;
        std::string reason;
        if (ParseCaseLine(line, number, use, &c, &reason))
            cases->push_back(std::move(c));
        else
            errors->push_back({number, std::move(reason)});
    }
}

bool DecodeHex(std::string_view hex, std::string* bytes)
{
    const auto digit = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                            : c >= 'A' && c <= 'F'   ? c - 'A' + 10
                                                                     : -1;
    };
    if (hex.size() % 2)
        return false;
    std::string out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = digit(hex[i]), low = digit(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        out += static_cast<char>(high * 16 + low);
    }
    *bytes = std::move(out);
    return true;
}

std::string EncodeHex(std::string_view bytes)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        out += kHex[static_cast<unsigned char>(c) >> 4];
        out += kHex[static_cast<unsigned char>(c) & 15];
    }
    return out;
}

std::string RewriteExpectation(std::string_view line, bool all, const NewExpectation& e)
{
    Json object = Json::parse(line.begin(), line.end(), nullptr, false);
    if (!object.is_object())
        return std::string(line);
    Json value;
    if (all) {
        value = Json::array();
        for (const std::string& text : e.texts)
            value.push_back(e.gbk ? EncodeHex(text) : text);
    } else if (e.found && !e.texts.empty()) {
        value = e.gbk ? EncodeHex(e.texts.front()) : e.texts.front();
    }
    const std::string key = e.gbk ? "expect_gbk" : "expect";
    // The spacing the line was written with: "key": value, or "key":value.
    const bool spaced = line.find("\": ") != std::string_view::npos;
    const size_t open = line.find('{'), close = line.rfind('}');
    std::string out(line.substr(0, open));
    out += '{';
    bool first = true, placed = false;
    const auto field = [&](const std::string& name, const Json& v) {
        out += first ? "" : spaced ? ", "
                                   : ",";
        out += Json(name).dump() + (spaced ? ": " : ":") + v.dump();
        first = false;
    };
    for (const auto& [name, v] : object.items()) {
        if (name == "expect" || name == "expect_gbk") {
            if (!placed)
                field(key, value);
            placed = true;
        } else {
            field(name, v);
        }
    }
    if (!placed)
        field(key, value);
    out += '}';
    out += line.substr(close + 1);
    return out;
}

std::string NewCaseLine(const TestCase& c, const NewExpectation& e)
{
    Json object = Json::object();
    if (!c.name.empty())
        object["name"] = c.name;
    object["source"] = c.source;
    if (c.sourceGbk)
        object["source_gbk"] = true;
    const auto text = [&object](const std::string& name, const std::optional<CaseText>& t) {
        if (!t)
            return;
        if (t->gbk)
            object[name + "_gbk"] = EncodeHex(t->bytes);
        else
            object[name] = t->bytes;
    };
    text("left", c.left);
    text("right", c.right);
    object["expect"] = nullptr;
    std::string line;
    for (const auto& [name, v] : object.items())
        line += (line.empty() ? "{" : ", ") + Json(name).dump() + ": " + v.dump();
    return RewriteExpectation(line + "}", false, e);
}

} // namespace app
