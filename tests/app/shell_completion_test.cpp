// The shell completions the build writes from the option table: bash's
// loads and completes commands, options, --lang values and file names; zsh's
// and fish's parse (when those shells are installed).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "cli/cli_options.h"
#include "support/run_program.h"
#include "support/run_tool.h"

namespace {

using mt::test::FindProgram;
using mt::test::RunProgram;

// The completions the build wrote from the option table.
std::filesystem::path Completions()
{
    const char* build = std::getenv("MT_BINARY_DIR");
    return std::filesystem::path(build ? build : "build") / "completions";
}

// The manual page the build made from its template and the option help.
std::filesystem::path ManualPage()
{
    const char* build = std::getenv("MT_BINARY_DIR");
    return std::filesystem::path(build ? build : "build") / "middletext.1";
}

// One completion request: the words of the command line, the last one the
// word being completed.
struct Request {
    std::vector<std::string> words;
    std::string reply; // the offered words, each followed by "|"
};

// Asks bash's completion function for each request, in a directory that
// holds the files "a page.html" and "b.txt"; one reply a line.
std::vector<std::string> BashReplies(const std::vector<Request>& requests)
{
    const auto bash = FindProgram({"bash"});
    if (!bash) {
        ADD_FAILURE() << "bash is not installed";
        return {};
    }
    char dirTemplate[] = "/tmp/mt-complete-XXXXXX";
    const std::filesystem::path dir = mkdtemp(dirTemplate);
    std::ofstream(dir / "a page.html") << "x";
    std::ofstream(dir / "b.txt") << "x";
    std::string script = "source '" + (Completions() / "middletext.bash").string() + "' && cd '" + dir.string() +
                         "' || exit 1\n"
                         "t() { COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); COMPREPLY=(); _middletext;"
                         " printf '%s|' \"${COMPREPLY[@]}\"; echo; }\n";
    for (const Request& request : requests) {
        script += "t";
        for (const std::string& word : request.words)
            script += " '" + word + "'";
        script += "\n";
    }
    const auto run = RunProgram({*bash, "-c", script});
    std::filesystem::remove_all(dir);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> replies;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        replies.push_back(line);
    return replies;
}

TEST(ShellCompletion, BashLoadsTheCompletion)
{
    const auto bash = FindProgram({"bash"});
    ASSERT_TRUE(bash);
    const auto run =
        RunProgram({*bash, "-c", "source '" + (Completions() / "middletext.bash").string() + "'; complete -p middletext"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "complete -F _middletext middletext\n");
    EXPECT_EQ(run.err, "");
}

TEST(ShellCompletion, BashCompletesCommandsOptionsLanguagesAndFiles)
{
    const std::vector<Request> requests = {
        {{"middletext", ""}, "extract|find|fetch|code|test|suggest|"},
        {{"middletext", "f"}, "find|fetch|"},
        {{"middletext", "--gbk", "c"}, "code|"},
        {{"middletext", "code", "--lang", ""}, "python|javascript|c|java|go|php|"},
        {{"middletext", "code", "--lang", "=", "j"}, "javascript|java|"}, // --lang=j
        {{"middletext", "code", "--l"}, "--lang|"},
        {{"middletext", "extract", "--n"}, "--null|--newline|--no-filename|--no-compressed|"},
        {{"middletext", "find", "--j"}, "--json|--jobs|"},
        {{"middletext", "find", "--sources", "b"}, "b.txt|"},
        {{"middletext", "find", "-j", "4", "--text", "x", "b"}, "b.txt|"},
        {{"middletext", "fetch", "--r"}, "--raw|--retry|"},
        {{"middletext", "fetch", "--max-r"}, "--max-redirs|"},
        {{"middletext", "fetch", "-o", "b"}, "b.txt|"},
        {{"middletext", "fetch", "--cacert", "b"}, "b.txt|"},
        {{"middletext", "fetch", "-w", ""}, "|"},
        {{"middletext", "find", "--files"}, "--files-with-matches|"},
        {{"middletext", "find", "--color", "=", "a"}, "auto|always|"},
        {{"middletext", "find", "--color", "b"}, "b.txt|"},
        {{"middletext", "find", "--text", "x", "--no-c"}, "--no-compressed|"},
        {{"middletext", "fetch", "--user-agent", ""}, "|"},
        {{"middletext", "extract", "--left", "x", "--right", "y", "a"}, "a page.html|"},
        {{"middletext", "--left", "=", "code", "find", "--text", "find", "b"}, "b.txt|"},
        {{"middletext", "fetch", ""}, "|"},
        {{"middletext", "code", ""}, "|"},
        {{"middletext", "t"}, "test|"},
        {{"middletext", "test", "--u"}, "--update|--user-agent|"},
        {{"middletext", "test", "--junit", "b"}, "b.txt|"},
        {{"middletext", "test", "--junit", "out.xml", "b"}, "b.txt|"},
        {{"middletext", "suggest", "--m"}, "--middle|--max-time|--max-redirs|--max-filesize|--max-memory|"},
        {{"middletext", "suggest", "--middle", ""}, "|"},
        {{"middletext", "suggest", "--cases", "b"}, "b.txt|"},
        {{"middletext", "suggest", "--middle", "x", "a"}, "a page.html|"},
    };
    const std::vector<std::string> replies = BashReplies(requests);
    ASSERT_EQ(replies.size(), requests.size());
    for (size_t k = 0; k < requests.size(); ++k)
        EXPECT_EQ(replies[k], requests[k].reply) << "request " << k;
}

// The command of a usage line ("middletext fetch [--raw] ..."), and what
// follows it.
bool UsageLine(const std::string& line, std::string* command, std::string* rest)
{
    for (const char* name : {"extract", "find", "fetch", "code", "test", "suggest"}) {
        const std::string head = std::string("middletext ") + name;
        const size_t at = line.find(head);
        const size_t end = at + head.size();
        if (at == std::string::npos || (end < line.size() && (std::isalnum(static_cast<unsigned char>(line[end])) || line[end] == '_')))
            continue;
        *command = name;
        *rest = line.substr(end);
        return true;
    }
    return false;
}

// Every option named in a piece of usage: -x or --name.
std::set<std::string> OptionsIn(const std::string& text)
{
    const auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
    std::set<std::string> options;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '-')
            continue;
        size_t j = i + 1;
        if (j < text.size() && text[j] == '-')
            ++j;
        if (j >= text.size() || !word(text[j]))
            continue;
        while (j < text.size() && (word(text[j]) || text[j] == '-'))
            ++j;
        options.insert(text.substr(i, j - i));
        i = j - 1;
    }
    return options;
}

// Every option the usage shows for a command is completed for it.
TEST(ShellCompletion, BashOffersEveryOptionOfTheUsage)
{
    const auto help = mt::test::RunTool({"--help"});
    ASSERT_EQ(help.status, 0);
    std::vector<Request> requests;
    std::vector<std::set<std::string>> shown;
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);) {
        std::string command, rest;
        if (!UsageLine(line, &command, &rest))
            continue;
        requests.push_back({{"middletext", command, "-"}, ""});
        shown.push_back(OptionsIn(rest));
    }
    ASSERT_EQ(requests.size(), 6u) << help.out;
    const std::vector<std::string> replies = BashReplies(requests);
    ASSERT_EQ(replies.size(), requests.size());
    for (size_t k = 0; k < requests.size(); ++k) {
        for (const std::string& name : shown[k])
            EXPECT_NE(replies[k].find(name + "|"), std::string::npos) << requests[k].words[1] << " " << name;
    }
}

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Whether `name` occurs in `text` as a whole option name: not followed by
// another letter of a name.
bool HasName(const std::string& text, const std::string& name)
{
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        const size_t end = at + name.size();
        const bool before = at == 0 || !(std::isalnum(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '-');
        if (before && (end == text.size() || !(std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '-')))
            return true;
    }
    return false;
}

// Every option the parser knows is in the usage, the manual page and each
// completion.
TEST(ShellCompletion, EveryOptionIsInTheUsageTheManualAndEveryCompletion)
{
    const std::string help = mt::test::RunTool({"--help"}).out;
    std::string manual = ReadAll(ManualPage());
    for (size_t at = manual.find("\\-"); at != std::string::npos; at = manual.find("\\-", at))
        manual.erase(at, 1); // roff's \- is a -
    const std::string bash = ReadAll(Completions() / "middletext.bash");
    const std::string zsh = ReadAll(Completions() / "_middletext");
    const std::string fish = ReadAll(Completions() / "middletext.fish");
    ASSERT_FALSE(manual.empty() || bash.empty() || zsh.empty() || fish.empty());
    for (const std::string& name : app::CliOptionNames()) {
        EXPECT_TRUE(HasName(help, name)) << "--help lacks " << name;
        EXPECT_TRUE(HasName(manual, name)) << "the manual lacks " << name;
        EXPECT_TRUE(HasName(bash, name)) << "bash lacks " << name;
        EXPECT_TRUE(HasName(zsh, name)) << "zsh lacks " << name;
        const bool isLong = name.rfind("--", 0) == 0;
        const std::string fishName = isLong ? "-l " + name.substr(2) : "-s " + name.substr(1);
        EXPECT_TRUE(HasName(fish, fishName)) << "fish lacks " << name;
    }
}

TEST(ShellCompletion, ZshParsesTheCompletion)
{
    const auto zsh = FindProgram({"zsh"});
    if (!zsh)
        GTEST_SKIP() << "zsh is not installed";
    const auto run = RunProgram({*zsh, "-n", (Completions() / "_middletext").string()});
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST(ShellCompletion, FishParsesTheCompletionAndOffersTheLanguages)
{
    const auto fish = FindProgram({"fish"});
    if (!fish)
        GTEST_SKIP() << "fish is not installed";
    const std::string file = (Completions() / "middletext.fish").string();
    const auto parse = RunProgram({*fish, "--no-config", "-n", file});
    EXPECT_EQ(parse.status, 0) << parse.err;
    const auto run = RunProgram({*fish, "--no-config", "-c", "source '" + file + "'; complete -C'middletext code --lang '"});
    EXPECT_EQ(run.status, 0) << run.err;
    for (const char* language : {"python\t", "javascript\t", "c\t", "java\t", "go\t", "php\t"})
        EXPECT_NE(run.out.find(language), std::string::npos) << run.out;
}

} // namespace
