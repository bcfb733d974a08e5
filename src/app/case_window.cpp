// Cases saved from the window and loaded into it. Ctrl+S (or the big box's
// menu) appends the rule in the left and right boxes, with what it extracts
// from the big box now, to the case file: asked for once, then remembered
// (Ctrl+Shift+S asks again). The source is the address the page was read
// from while the big box still holds it; otherwise the big text itself,
// kept once as pages/SHA256.txt beside the case file. Ctrl+O loads one case
// of a case file: its source is read into the big box as a page or a
// dropped file is, its left and right texts go into their boxes.
#include <fcntl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "case_calls.h"
#include "shared/case_file.h"
#include "shared/case_run.h"
#include "shared/page_reader.h"
#include "shared/runtime_utf8.h"

namespace app {
namespace {

constexpr int32_t kCtrl = 1;
namespace fs = std::filesystem;

// A box's text; the empty text while it shows its grey prompt.
Owned BoxText(uint32_t box, uint32_t prompt)
{
    Owned text = ReadText(box, kContent);
    if (SameText(text.text(), Lit(prompt)) && ReadInt(box, kTextColor) == static_cast<int32_t>(kPromptGrey))
        return Owned();
    return text;
}

// A runtime text as a case writes it: UTF-8 when it converts, else its bytes.
CaseText AsCaseText(std::string_view runtime)
{
    CaseText t;
    t.gbk = !RuntimeToUtf8(runtime, &t.bytes);
    if (t.gbk)
        t.bytes = std::string(runtime);
    return t;
}

// A UTF-8 text (a path, an English reason) for a message box.
std::string ForMessage(std::string_view utf8) { return RuntimeText(CaseText{std::string(utf8), false}); }

void SayFailed(uint32_t what, std::string_view detail)
{
    const std::string d = ForMessage(detail);
    const Owned message = Join({Lit(what), Lit(lit::LineBreak), d});
    ShowMessage(message.text(), box::kError, Lit(lit::TitleError));
}

std::string FolderOf(const std::string& path)
{
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// The big text kept once, named by its bytes' SHA-256, beside the case file;
// the path the case names it by, or empty with *error.
std::string KeepSnapshot(const std::string& caseFile, const Owned& big, std::string* error)
{
    std::string name = "pages/" + Sha256Hex(big.text()) + ".txt";
    const fs::path path = fs::path(FolderOf(caseFile)) / name;
    std::error_code ec;
    if (fs::exists(path, ec))
        return name;
    fs::create_directories(path.parent_path(), ec);
    const fs::path part = path.string() + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(big.view().data(), static_cast<std::streamsize>(big.view().size()));
        if (!out.flush()) {
            *error = path.string();
            fs::remove(part, ec);
            return {};
        }
    }
    fs::rename(part, path, ec);
    if (ec) {
        *error = path.string() + ": " + ec.message();
        return {};
    }
    return name;
}

// Appends the line to the file, on a line of its own; the line's number, or
// 0 when it could not be written.
size_t AppendLine(const std::string& file, const std::string& line)
{
    std::string before, error;
    std::error_code ec;
    if (fs::exists(file, ec) && !ReadFileBytes(file, AT_FDCWD, &before, &error))
        return 0;
    size_t number = static_cast<size_t>(std::count(before.begin(), before.end(), '\n')) + 1;
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!before.empty() && before.back() != '\n') {
        out << '\n';
        ++number;
    }
    out << line << '\n';
    return out.flush() ? number : 0;
}

void SaveCase(bool askAgain)
{
    std::string file = askAgain ? std::string() : RememberedCaseFile();
    if (file.empty()) {
        const std::string remembered = RememberedCaseFile();
        file = AskCaseFile(true, Lit(lit::CaseSaveTitle), remembered.empty() ? "" : FolderOf(remembered));
        if (file.empty())
            return;
        RememberCaseFile(file);
    }
    const Owned big = BoxText(id::编辑框被查找文本, lit::PromptBig);
    const Owned left = BoxText(id::编辑框左边, lit::PromptLeft);
    const Owned right = BoxText(id::编辑框右边, lit::PromptRight);
    TestCase c;
    c.left = AsCaseText(left.view());
    c.right = AsCaseText(right.view());
    std::string url, error;
    if (PageReadFrom(big.view(), &url) && RuntimeToUtf8(url, &c.source)) {
        c.url = true;
    } else {
        c.source = KeepSnapshot(file, big, &error);
        c.sourceGbk = true;
        if (c.source.empty()) {
            SayFailed(lit::CaseSaveFailed, error);
            return;
        }
    }
    // What the rule gives now, found as `test` will look for it.
    CasePage page;
    page.read = true;
    page.text = Join({big.view()});
    page.length = static_cast<int32_t>(big.view().size());
    const NewExpectation now = ExpectationNow(RunCase(c, page));
    const size_t line = AppendLine(file, NewCaseLine(c, now));
    if (line == 0) {
        SayFailed(lit::CaseSaveFailed, file);
        return;
    }
    const Owned number = IntToText(static_cast<int32_t>(line));
    const std::string where = ForMessage(file);
    const Owned notice = Join({Lit(lit::CaseSaved), where, Lit(lit::CaseSavedLine), number.view(), Lit(lit::CaseSavedLineEnd)});
    ShowNotice(id::编辑框被查找文本, notice.text());
}

// A row of the pick-list: the case's name, its rule and its source.
std::string Row(const TestCase& c)
{
    std::string row = ForMessage(c.name) + "    " + RuntimeText(*c.left) + Lit(lit::CaseRuleJoin) + RuntimeText(*c.right) +
                      "    " + ForMessage(c.source);
    for (char& ch : row)
        if (ch == '\n' || ch == '\r')
            ch = ' ';
    return row;
}

void WriteBlack(uint32_t box, const std::string& text)
{
    WriteInt(box, kTextColor, kBlack);
    WriteText(box, kContent, text.c_str());
}

void OpenCase()
{
    const std::string remembered = RememberedCaseFile();
    const std::string file = AskCaseFile(false, Lit(lit::CaseOpenTitle), remembered.empty() ? "" : FolderOf(remembered));
    if (file.empty())
        return;
    std::string contents, error;
    if (!ReadFileBytes(file, AT_FDCWD, &contents, &error)) {
        SayFailed(lit::CaseOpenFailed, error);
        return;
    }
    std::vector<TestCase> cases;
    std::vector<CaseLineError> errors;
    ParseCaseFile(contents, CaseUse::kTest, &cases, &errors);
    if (!errors.empty()) {
        SayFailed(lit::CaseOpenFailed, file + ":" + std::to_string(errors.front().line) + ": " + errors.front().reason);
        return;
    }
    if (cases.empty()) {
        SayFailed(lit::CaseNoCases, file);
        return;
    }
    std::vector<std::string> rows;
    rows.reserve(cases.size());
    for (const TestCase& c : cases)
        rows.push_back(Row(c));
    const int32_t pick = PickRow(Lit(lit::CaseOpenTitle), Lit(lit::CasePickPrompt), rows);
    if (pick < 0)
        return;
    RememberCaseFile(file);
    const TestCase& c = cases[static_cast<size_t>(pick)];
    if (c.url) {
        const std::string url = RuntimeText(CaseText{c.source, false});
        if (!ReadPageFrom(url.c_str()))
            return;
    } else {
        Owned text;
        int32_t length = 0;
        if (!ReadCaseSource(SourcePath(file, c), AT_FDCWD, c.sourceGbk, &text, &length, &error)) {
            SayFailed(lit::CaseSourceFailed, error);
            return;
        }
        WriteBlack(id::编辑框被查找文本, std::string(text.view()));
    }
    WriteBlack(id::编辑框左边, RuntimeText(*c.left));
    WriteBlack(id::编辑框右边, RuntimeText(*c.right));
}

} // namespace

// Ctrl+S, Ctrl+Shift+S and Ctrl+O wherever the focus is in the window; the
// key goes no further.
bool CaseKeyDown(mt::EventCall* call)
{
    if (call->argc < 2)
        return false;
    const int32_t key = mt::AsInt32(call->args[0]), state = mt::AsInt32(call->args[1]);
    if (key == 'S' && (state == kCtrl || state == kCtrlShift))
        SaveCase(state == kCtrlShift);
    else if (key == 'O' && state == kCtrl)
        OpenCase();
    else
        return false;
    call->hasResult = true;
    call->result = 0;
    return true;
}

void WindowKeyDown(mt::EventCall* call) { CaseKeyDown(call); }

// The big box's context menu offers both.
void OfferCasesInMenu()
{
    OfferShortcutInMenu(id::编辑框被查找文本, Lit(lit::CaseMenuSave), 'S', kCtrl);
    OfferShortcutInMenu(id::编辑框被查找文本, Lit(lit::CaseMenuOpen), 'O', kCtrl);
}

} // namespace app
