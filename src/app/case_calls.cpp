#include "case_calls.h"

namespace app {
namespace {

// Modes of CaseSupport's first argument.
constexpr int32_t kAskFile = 0, kPickList = 1, kSha256 = 2, kCaseFile = 3, kMenuShortcut = 4;

mt::ValueRecord Cases(std::initializer_list<mt::ValueRecord> args)
{
    mt::ValueRecord records[8];
    int32_t n = 0;
    for (const auto& a : args)
        records[n++] = a;
    return mt::Runtime().callCoreCommand(mt::CommandAddress(mt::kCoreLibrary, mt::kCmdCaseSupport), n, records);
}

mt::ValueRecord TextRecord(const char* text) { return mt::MakePointer(Arg(text), mt::kTypeText); }

std::string TextResult(const mt::ValueRecord& r)
{
    const Owned text(mt::AsPointer(r));
    return std::string(text.view());
}

} // namespace

std::string AskCaseFile(bool save, const char* title, std::string_view directory)
{
    const std::string folder(directory);
    return TextResult(Cases({mt::MakeInt(kAskFile), mt::MakeBool(save), TextRecord(title), TextRecord(folder.c_str()),
                             TextRecord(Lit(lit::CaseFilter))}));
}

int32_t PickRow(const char* title, const char* prompt, const std::vector<std::string>& rows)
{
    std::string joined;
    for (const std::string& row : rows)
        joined += (joined.empty() ? "" : "\n") + row;
    return mt::AsInt32(Cases({mt::MakeInt(kPickList), TextRecord(title), TextRecord(prompt), TextRecord(joined.c_str())}));
}

std::string Sha256Hex(const char* text) { return TextResult(Cases({mt::MakeInt(kSha256), TextRecord(text)})); }

std::string RememberedCaseFile() { return TextResult(Cases({mt::MakeInt(kCaseFile)})); }

void RememberCaseFile(std::string_view path)
{
    const std::string text(path);
    Cases({mt::MakeInt(kCaseFile), TextRecord(text.c_str())});
}

void OfferShortcutInMenu(uint32_t component, const char* label, int32_t letter, int32_t keyState)
{
    Cases({mt::MakeInt(kMenuShortcut), mt::MakeComponentRef(id::MainWindow, component, kEditBoxKind), TextRecord(label),
           mt::MakeInt(letter), mt::MakeInt(keyState)});
}

} // namespace app
