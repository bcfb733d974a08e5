#include "tools/mtimage/layout_parser.h"

#include <fstream>
#include <iterator>
#include <map>

#include "abi/component_kinds.h"
#include "tools/common/source_text.h"

namespace tools {
namespace {

const std::map<std::string, uint32_t> kKinds = {
    {"window", mt::kKindCodeWindow},
    {"editbox", mt::kKindCodeEditBox},
    {"picbox", mt::kKindCodePictureBox},
    {"button", mt::kKindCodeButton},
    {"timer", mt::kKindCodeTimer},
    {"translabel", mt::kKindCodeTransLabel},
};

class Parser {
public:
    Parser(std::string path, ParsedLayout* out) : path_(std::move(path)), out_(out) {}

    bool run(std::string* error)
    {
        std::ifstream in(path_);
        if (!in) {
            *error = path_ + ": cannot open";
            return false;
        }
        std::string line;
        while (std::getline(in, line)) {
            ++lineNo_;
            SourceLine src(line);
            if (src.atEnd())
                continue;
            if (!statement(src)) {
                *error = path_ + ":" + std::to_string(lineNo_) + ": " + (why_.empty() ? "cannot read this line" : why_);
                return false;
            }
        }
        if (inProperties_) {
            *error = path_ + ": properties not closed with `end`";
            return false;
        }
        return true;
    }

private:
    bool fail(const std::string& why)
    {
        why_ = why;
        return false;
    }

    mt::ComponentRecord* record()
    {
        if (out_->windows.empty() || out_->windows.back().records.empty())
            return nullptr;
        return &out_->windows.back().records.back();
    }

    bool integer(SourceLine& src, long long* v)
    {
        return src.integer(v) ? true : fail("expected a number");
    }

    bool statement(SourceLine& src)
    {
        if (inProperties_)
            return propertyField(src);
        std::string word = src.word();
        if (word == "program")
            return programLine(src);
        if (word == "window")
            return windowLine(src);
        if (word == "record")
            return recordLine(src);
        mt::ComponentRecord* r = record();
        if (!r)
            return fail("`" + word + "` before any record");
        return recordAttribute(word, src, r);
    }

    bool programLine(SourceLine& src)
    {
        long long mode;
        if (src.word() != "mode" || !integer(src, &mode))
            return fail("expected: program mode N");
        out_->programMode = static_cast<int>(mode);
        return src.atEnd();
    }

    bool windowLine(SourceLine& src)
    {
        long long id, w1, w2;
        if (!integer(src, &id))
            return false;
        std::string name = src.word();
        if (name.empty() || src.word() != "words" || !integer(src, &w1) || !integer(src, &w2))
            return fail("expected: window ID NAME words W1 W2");
        mt::WindowDescription w;
        w.id = static_cast<uint32_t>(id);
        w.word1 = static_cast<uint32_t>(w1);
        w.word2 = static_cast<uint32_t>(w2);
        out_->windows.push_back(std::move(w));
        out_->windowNames.push_back(name);
        return true;
    }

    bool recordLine(SourceLine& src)
    {
        if (out_->windows.empty())
            return fail("record before window");
        long long id;
        std::string name, gbName;
        if (!integer(src, &id) || !src.quoted(&name))
            return fail("expected: record ID \"NAME\" KIND");
        std::string kind = src.word();
        mt::ComponentRecord r;
        r.id = static_cast<uint32_t>(id);
        auto k = kKinds.find(kind);
        if (k == kKinds.end())
            return fail("unknown kind " + kind);
        r.kind = k->second;
        if (!Utf8ToGb18030(name, &gbName))
            return fail("name does not convert");
        r.name = gbName;
        auto& records = out_->windows.back().records;
        if (records.empty())
            out_->componentNames.emplace_back(out_->windowNames.back() + "Self", r.id);
        else
            out_->componentNames.emplace_back(name, r.id);
        records.push_back(std::move(r));
        return src.atEnd();
    }

    int handlerOffset(const std::string& name)
    {
        if (name == "none")
            return -1;
        auto& h = out_->handlers;
        for (size_t i = 0; i < h.size(); ++i) {
            if (h[i] == name)
                return static_cast<int>(i * sizeof(void*));
        }
        h.push_back(name);
        return static_cast<int>((h.size() - 1) * sizeof(void*));
    }

    bool recordAttribute(const std::string& word, SourceLine& src, mt::ComponentRecord* r)
    {
        long long a, b, c, d;
        if (word == "rect") {
            if (!integer(src, &a) || !integer(src, &b) || !integer(src, &c) || !integer(src, &d))
                return false;
            r->left = static_cast<int32_t>(a);
            r->top = static_cast<int32_t>(b);
            r->width = static_cast<int32_t>(c);
            r->height = static_cast<int32_t>(d);
        } else if (word == "state" || word == "parent" || word == "shared" || word == "cursor") {
            if (!integer(src, &a))
                return false;
            auto v = static_cast<uint32_t>(a);
            if (word == "state")
                r->state = v;
            if (word == "parent")
                r->parent = v;
            if (word == "shared")
                r->sharedSource = v;
            if (word == "cursor")
                r->mousePointer = std::string(reinterpret_cast<const char*>(&v), 4);
        } else if (word == "tag") {
            std::string tag;
            if (!src.quoted(&tag) || !Utf8ToGb18030(tag, &r->tag))
                return fail("expected: tag \"TEXT\"");
        } else if (word == "event") {
            if (!integer(src, &a))
                return false;
            std::string handler = src.word();
            if (handler.empty())
                return fail("expected: event INDEX HANDLER");
            mt::EventBinding e;
            e.index = static_cast<int32_t>(a);
            e.offset = handlerOffset(handler);
            r->events.push_back(e);
        } else if (word == "properties") {
            inProperties_ = true;
        } else {
            return fail("unknown attribute " + word);
        }
        return src.atEnd() ? true : fail("unexpected text after " + word);
    }

    void appendLength(std::string* s, size_t n)
    {
        auto v = static_cast<uint32_t>(n);
        s->append(reinterpret_cast<const char*>(&v), 4);
    }

    bool propertyField(SourceLine& src)
    {
        std::string* out = &record()->properties;
        std::string type = src.word();
        long long v;
        std::string text, gb;
        if (type == "end") {
            inProperties_ = false;
        } else if (type == "i32") {
            if (!integer(src, &v))
                return false;
            auto w = static_cast<uint32_t>(v);
            out->append(reinterpret_cast<const char*>(&w), 4);
        } else if (type == "u16") {
            if (!integer(src, &v))
                return false;
            auto w = static_cast<uint16_t>(v);
            out->append(reinterpret_cast<const char*>(&w), 2);
        } else if (type == "text") {
            if (!src.quoted(&text) || !Utf8ToGb18030(text, &gb))
                return fail("expected: text \"TEXT\"");
            appendLength(out, gb.size());
            *out += gb;
        } else if (type == "file") {
            if (!src.quoted(&text))
                return fail("expected: file \"PATH\"");
            std::ifstream f(text, std::ios::binary);
            if (!f)
                return fail("cannot open " + text);
            std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
            appendLength(out, bytes.size());
            *out += bytes;
        } else {
            return fail("unknown field type " + type);
        }
        return src.atEnd() ? true : fail("unexpected text after the field");
    }

    std::string path_;
    ParsedLayout* out_;
    int lineNo_ = 0;
    bool inProperties_ = false;
    std::string why_;
};

} // namespace

bool ParseLayout(const std::string& path, ParsedLayout* out, std::string* error)
{
    return Parser(path, out).run(error);
}

} // namespace tools
