#include "runtime_calls.h"

#include <cstring>

namespace app {
namespace {

const mt::RuntimeEntryTable& Rt() { return mt::Runtime(); }

mt::ValueRecord Core(mt::CoreCommand command, std::initializer_list<mt::ValueRecord> args)
{
    mt::ValueRecord records[8];
    int32_t n = 0;
    for (const auto& a : args)
        records[n++] = a;
    return Rt().callCoreCommand(mt::CommandAddress(mt::kCoreLibrary, command), n, records);
}

mt::ValueRecord Library(mt::LibraryIndex library, int32_t command, std::initializer_list<mt::ValueRecord> args)
{
    mt::ValueRecord records[16]; // the longest: the transfer report's variables
    int32_t n = 0;
    for (const auto& a : args)
        records[n++] = a;
    return Rt().callLibraryCommand(mt::CommandAddress(library, command), n, records);
}

mt::ValueRecord Internet(mt::InternetCommand command, std::initializer_list<mt::ValueRecord> args)
{
    return Library(mt::kInternetLibrary, command, args);
}

mt::ValueRecord Encoding(mt::EncodingCommand command, std::initializer_list<mt::ValueRecord> args)
{
    return Library(mt::kEncodingLibrary, command, args);
}

mt::ValueRecord TextRecord(const char* text) { return mt::MakePointer(Arg(text), mt::kTypeText); }

mt::ValueRecord BytesRecord(const uint8_t* bytes)
{
    const void* p = bytes ? static_cast<const void*>(bytes) : Lit(lit::kEmptyByteArray);
    return mt::MakePointer(p, mt::kTypeBytes);
}

mt::ValueRecord OptionalText(const char* text) { return text ? TextRecord(text) : mt::Omitted(); }

Owned OwnedResult(const mt::ValueRecord& r) { return Owned(mt::AsPointer(r)); }

} // namespace

Owned& Owned::operator=(Owned&& other) noexcept
{
    if (this != &other) {
        Rt().free(block_);
        block_ = other.release();
    }
    return *this;
}

Owned::~Owned() { Rt().free(block_); }

std::string_view Owned::view() const { return block_ ? std::string_view(text()) : std::string_view(); }

void* Owned::release()
{
    void* b = block_;
    block_ = nullptr;
    return b;
}

Owned ReadText(uint32_t component, int32_t index)
{
    return Owned(reinterpret_cast<void*>(Rt().readProperty(id::MainWindow, component, index, mt::kWholeProperty)));
}

void WriteText(uint32_t component, int32_t index, const char* text)
{
    const auto value = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(Arg(text)));
    Rt().writeProperty(id::MainWindow, component, index, mt::kWholeProperty, mt::LowWord(value), mt::HighWord(value));
}

void WriteInt(uint32_t component, int32_t index, int32_t value)
{
    Rt().writeProperty(id::MainWindow, component, index, mt::kWholeProperty, static_cast<uint32_t>(value), 0);
}

int32_t ReadInt(uint32_t component, int32_t index)
{
    return static_cast<int32_t>(Rt().readProperty(id::MainWindow, component, index, mt::kWholeProperty));
}

const char* Arg(const char* text) { return text ? text : Lit(lit::kEmptyText); }

bool SameText(const char* a, const char* b) { return std::strcmp(Arg(a), Arg(b)) == 0; }

int32_t TextLength(const char* text) { return mt::AsInt32(Core(mt::kCmdTextLength, {TextRecord(text)})); }

int32_t FindText(const char* text, const char* sought, const int32_t* start, bool caseInsensitive)
{
    const mt::ValueRecord from = start ? mt::MakeInt(*start) : mt::Omitted();
    return mt::AsInt32(
        Core(mt::kCmdFindText, {TextRecord(text), TextRecord(sought), from, mt::MakeBool(caseInsensitive)}));
}

Owned MiddleText(const char* text, int32_t start, int32_t length)
{
    return OwnedResult(Core(mt::kCmdMiddleText, {TextRecord(text), mt::MakeInt(start), mt::MakeInt(length)}));
}

Owned IntToText(int32_t value) { return OwnedResult(Core(mt::kCmdToText, {mt::MakeInt(value)})); }

Owned BytesToText(const uint8_t* bytes) { return OwnedResult(Core(mt::kCmdToText, {BytesRecord(bytes)})); }

Owned TextToBytes(const char* text) { return OwnedResult(Core(mt::kCmdToBytes, {TextRecord(text)})); }

int32_t ShowMessage(const char* content, int32_t flags, const char* title)
{
    return mt::AsInt32(Core(mt::kCmdMessageBox, {TextRecord(content), mt::MakeInt(flags), OptionalText(title)}));
}

bool SetClipboard(const char* text) { return mt::AsBool(Core(mt::kCmdSetClipboardText, {TextRecord(text)})); }

void FocusComponent(uint32_t component, uint32_t kind)
{
    Core(mt::kCmdSetComponentFocus, {mt::MakeComponentRef(id::MainWindow, component, kind)});
}

void MarkText(uint32_t component, const char* sought, const MarkedParts& parts)
{
    Core(mt::kCmdMarkText, {mt::MakeComponentRef(id::MainWindow, component, kEditBoxKind), TextRecord(sought),
                            mt::MakeInt(parts.leftAt), mt::MakeInt(parts.leftLength), mt::MakeInt(parts.middleAt),
                            mt::MakeInt(parts.middleLength), mt::MakeInt(parts.rightAt), mt::MakeInt(parts.rightLength)});
}

RuleHint DiagnoseRule(const char* text, const char* left, const char* right, bool ignoreCase)
{
    RuleHint h;
    int32_t side = 0;
    char* sentence = nullptr;
    const mt::ValueRecord r =
        Core(mt::kCmdRuleDiagnosis, {TextRecord(text), TextRecord(left), TextRecord(right), mt::MakeBool(ignoreCase),
                                     mt::MakePointer(&side, mt::kTypeInt), mt::MakePointer(&h.position, mt::kTypeInt),
                                     mt::MakePointer(&h.length, mt::kTypeInt), mt::MakePointer(&sentence, mt::kTypeText)});
    h.code = static_cast<mt::DiagnosisCode>(mt::AsInt32(r));
    h.side = static_cast<mt::DiagnosisSide>(side);
    h.text = Owned(sentence);
    return h;
}

bool LiveResultsOn()
{
    return mt::AsBool(Core(mt::kCmdRuleDiagnosis, {mt::MakeComponentRef(id::MainWindow, id::编辑框被查找文本, kEditBoxKind)}));
}

void OfferLiveSwitch(uint32_t component, const char* label)
{
    Core(mt::kCmdRuleDiagnosis, {mt::MakeComponentRef(id::MainWindow, component, kEditBoxKind), TextRecord(label)});
}

void ShowNotice(uint32_t component, const char* notice)
{
    Core(mt::kCmdBoxNotice, {mt::MakeComponentRef(id::MainWindow, component, kEditBoxKind), TextRecord(notice)});
}

void BindKey(uint32_t component, uint32_t kind, int32_t key, int32_t keyState)
{
    Core(mt::kCmdBindKey, {mt::MakeComponentRef(id::MainWindow, component, kind), mt::MakeInt(key), mt::MakeInt(keyState)});
}

namespace {

// The answer's words and texts, read front to back; a short answer reads as
// zeros and empty texts.
class AnswerReader {
public:
    explicit AnswerReader(std::string_view bytes) : rest_(bytes) {}
    uint32_t word()
    {
        uint32_t w = 0;
        if (rest_.size() < 4) {
            rest_ = {};
            return w;
        }
        for (int k = 3; k >= 0; --k)
            w = w << 8 | static_cast<uint8_t>(rest_[static_cast<size_t>(k)]);
        rest_.remove_prefix(4);
        return w;
    }
    std::string text()
    {
        const uint32_t n = word();
        const std::string_view t = rest_.substr(0, n);
        rest_.remove_prefix(t.size());
        return std::string(t);
    }

private:
    std::string_view rest_;
};

} // namespace

SuggestedRule SuggestRule(const std::vector<SuggestExample>& examples)
{
    std::vector<mt::ValueRecord> records;
    for (const SuggestExample& e : examples) {
        records.push_back(TextRecord(e.page));
        if (e.wanted) {
            records.push_back(TextRecord(e.wanted));
            records.push_back(mt::Omitted());
        } else {
            records.push_back(mt::MakeInt(e.start));
            records.push_back(mt::MakeInt(e.length));
        }
    }
    const Owned answer = OwnedResult(Rt().callCoreCommand(mt::CommandAddress(mt::kCoreLibrary, mt::kCmdSuggestRule),
                                                          static_cast<int32_t>(records.size()), records.data()));
    const uint8_t* block = answer.bytes();
    int32_t count = 0;
    if (block)
        std::memcpy(&count, block + 4, 4);
    AnswerReader in(block && count > 0 ? std::string_view(answer.text() + 8, static_cast<size_t>(count))
                                       : std::string_view());
    SuggestedRule r;
    r.found = in.word() == 1;
    r.example = static_cast<int32_t>(in.word());
    std::string first = in.text(), second = in.text();
    if (r.found) {
        r.left = std::move(first);
        r.right = std::move(second);
    } else {
        r.code = std::move(first);
        r.reason = std::move(second);
    }
    return r;
}

void OfferKeyInMenu(uint32_t component, int32_t key, const char* label)
{
    Core(mt::kCmdSuggestRule,
         {mt::MakeComponentRef(id::MainWindow, component, kEditBoxKind), mt::MakeInt(key), TextRecord(label)});
}

void BindKeyToEvent(uint32_t component, uint32_t kind, int32_t key, int32_t keyState, int32_t event)
{
    Core(mt::kCmdBindKey, {mt::MakeComponentRef(id::MainWindow, component, kind), mt::MakeInt(key),
                           mt::MakeInt(keyState), mt::MakeInt(event)});
}

int32_t FocusCause(uint32_t box)
{
    return mt::AsInt32(Core(mt::kCmdEditBoxOption,
                            {mt::MakeComponentRef(id::MainWindow, box, kEditBoxKind), mt::MakeInt(kOptionFocusCause)}));
}

void FollowLineBreaks(uint32_t box, uint32_t source)
{
    Core(mt::kCmdEditBoxOption, {mt::MakeComponentRef(id::MainWindow, box, kEditBoxKind), mt::MakeInt(kOptionLineBreaksOf),
                                 mt::MakeComponentRef(id::MainWindow, source, kEditBoxKind)});
}

bool AskText(const char* prompt, const char* title, const char* initial, Owned* entered)
{
    char* variable = nullptr;
    const mt::ValueRecord byReference = mt::MakePointer(&variable, mt::kTypeText);
    const bool confirmed = mt::AsBool(Core(
        mt::kCmdInputBox, {TextRecord(prompt), TextRecord(title), TextRecord(initial), byReference, mt::Omitted()}));
    *entered = Owned(variable);
    return confirmed;
}

void OfferRecentAddresses() { Internet(mt::kNetAddressHistory, {mt::MakeInt(0), mt::Omitted()}); }

void RememberAddress(const char* url) { Internet(mt::kNetAddressHistory, {mt::MakeInt(1), TextRecord(url)}); }

Owned ReadUrl(const char* url) { return OwnedResult(Internet(mt::kNetRead, {TextRecord(url)})); }

TransferReport LastTransfer()
{
    TransferReport r;
    char* reason = nullptr;
    char* contentType = nullptr;
    char* charset = nullptr;
    char* statusText = nullptr;
    char* error = nullptr;
    char* headers = nullptr;
    char* effectiveUrl = nullptr;
    r.outcome = mt::AsInt32(Internet(
        mt::kNetTransferReport,
        {mt::MakePointer(&reason, mt::kTypeText), mt::MakePointer(&contentType, mt::kTypeText),
         mt::MakePointer(&charset, mt::kTypeText), mt::MakePointer(&r.bomLength, mt::kTypeInt),
         mt::MakePointer(&r.cutLength, mt::kTypeInt), mt::MakePointer(&r.status, mt::kTypeInt),
         mt::MakePointer(&statusText, mt::kTypeText), mt::Omitted(), mt::MakePointer(&error, mt::kTypeText),
         mt::MakePointer(&headers, mt::kTypeText), mt::MakePointer(&effectiveUrl, mt::kTypeText),
         mt::MakePointer(&r.downloaded, mt::kTypeLong), mt::MakePointer(&r.totalMicroseconds, mt::kTypeLong),
         mt::MakePointer(&r.redirects, mt::kTypeInt)}));
    r.error = Owned(error);
    r.headers = Owned(headers);
    r.effectiveUrl = Owned(effectiveUrl);
    r.reason = Owned(reason);
    r.statusText = Owned(statusText);
    r.contentType = Owned(contentType);
    r.charset = Owned(charset);
    return r;
}

void SetTransferTimeLimit(int32_t seconds) { Internet(mt::kNetTimeLimit, {mt::MakeInt(seconds)}); }

void SetRequestOptions(const RequestSettings& s)
{
    Internet(mt::kNetRequestOptions,
             {TextRecord(s.userAgent), TextRecord(s.headers), TextRecord(s.cookies), mt::MakeInt(s.retries),
              mt::MakeInt(s.insecure), TextRecord(s.caFile), TextRecord(s.proxy), mt::MakeInt(s.maxRedirects),
              mt::MakeInt(s.noCompression), mt::MakeInt(s.keepHeaders)});
}

Owned LibraryVersions() { return OwnedResult(Internet(mt::kNetLibraryVersions, {})); }

void TransferProgress(int64_t* received, int64_t* announced)
{
    Internet(mt::kNetProgress, {mt::MakePointer(received, mt::kTypeLong), mt::MakePointer(announced, mt::kTypeLong)});
}

Owned PageText(const uint8_t* bytes, const char* charset, int64_t* replaced)
{
    *replaced = -1;
    return OwnedResult(
        Internet(mt::kNetPageText, {BytesRecord(bytes), TextRecord(charset), mt::MakePointer(replaced, mt::kTypeLong)}));
}

void SetBatchJobs(int32_t jobs) { Internet(mt::kNetBatchJobs, {mt::MakeInt(jobs)}); }

bool BatchAdd(uint64_t ticket, const char* url)
{
    return mt::AsBool(Internet(mt::kNetBatchAdd, {mt::MakeLong(static_cast<int64_t>(ticket)), TextRecord(url)}));
}

bool BatchWait(uint64_t ticket)
{
    return mt::AsBool(Internet(mt::kNetBatchWait, {mt::MakeLong(static_cast<int64_t>(ticket))}));
}

void SetTransferBounds(const TransferBounds& b)
{
    const auto given = [](int64_t v) { return v >= 0 ? mt::MakeLong(v) : mt::Omitted(); };
    Internet(mt::kNetTransferBounds,
             {given(b.maxMilliseconds), given(b.connectMilliseconds), given(b.speedLimit), given(b.speedSeconds),
              given(b.maxFileSize), given(b.maxMemory)});
}

Owned BatchTake(uint64_t ticket)
{
    return OwnedResult(Internet(mt::kNetBatchTake, {mt::MakeLong(static_cast<int64_t>(ticket))}));
}

Owned ConvertBytes(const uint8_t* bytes, const char* from, const char* to, bool* succeeded)
{
    int32_t success = 0;
    const mt::ValueRecord variable = succeeded ? mt::MakePointer(&success, mt::kTypeInt) : mt::Omitted();
    Owned out = OwnedResult(Encoding(mt::kEncConvert, {BytesRecord(bytes), TextRecord(from), TextRecord(to), variable}));
    if (succeeded)
        *succeeded = success != 0;
    return out;
}

Owned NewBytes(std::string_view bytes)
{
    if (bytes.empty())
        return Owned();
    auto* block = static_cast<uint8_t*>(mt::Runtime().allocate(bytes.size() + 8));
    const int32_t header[2] = {1, static_cast<int32_t>(bytes.size())};
    std::memcpy(block, header, 8);
    std::memcpy(block + 8, bytes.data(), bytes.size());
    return Owned(block);
}

Owned Join(std::initializer_list<std::string_view> pieces)
{
    size_t n = 0;
    for (auto p : pieces)
        n += p.size();
    if (n == 0)
        return Owned();
    auto* text = static_cast<char*>(Rt().allocate(n + 1));
    size_t at = 0;
    for (auto p : pieces) {
        std::memcpy(text + at, p.data(), p.size());
        at += p.size();
    }
    text[n] = 0;
    return Owned(text);
}

} // namespace app
