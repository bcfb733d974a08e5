// code --lang: the extraction subroutine in Python, JavaScript, C, Java, Go
// and PHP, run by their own interpreter or compiler on random texts and held
// against what the program's extract and extract --all print for the same
// texts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>

#include "cli/code_languages.h"
#include "support/run_program.h"
#include "support/run_tool.h"

namespace {

using mt::test::FindProgram;
using mt::test::RunProgram;
using mt::test::RunTool;

struct Case {
    std::string text, left, right;
};

// What one case gives: the single middle text (none: nothing found) and every
// middle text (none: refused, as an empty left or right text is).
struct Outcome {
    std::optional<std::string> middle;
    std::optional<std::vector<std::string>> all;
    bool operator==(const Outcome&) const = default;
};

std::string Show(const std::optional<std::string>& text)
{
    return text ? "\"" + *text + "\"" : "nothing";
}

std::string Show(const Case& c)
{
    return "text " + Show(std::optional(c.text)) + ", left " + Show(std::optional(c.left)) + ", right " +
           Show(std::optional(c.right));
}

std::string Show(const Outcome& o)
{
    std::string all = "refused";
    if (o.all) {
        all = "[";
        for (const std::string& middle : *o.all)
            all += Show(std::optional(middle)) + " ";
        all += "]";
    }
    return Show(o.middle) + ", all " + all;
}

// Characters of one to four UTF-8 bytes. 귭가 holds the GB18030 bytes of 귬
// across its two characters, and 爸行 the GBK bytes of 中: neither may match.
const char* const kPieces[] = {"a", "b", "[", "]", "\n", "中", "爸", "行", "귭", "가", "귬", "😀", "𠀀"};

std::vector<Case> Cases()
{
    std::vector<Case> cases = {
        {"abc[b]XYZ[/b]def", "[b]", "[/b]"},
        {"x]y[z", "[", "]"}, // the right text only in front of the left one
        {"[b][/b]", "[b]", "[/b]"},
        {"ab]c[", "[", "]"},
        {"", "", "]"},
        {"", "[", "]"},
        {"ab]c", "", "]"},
        {"a[bc", "[", ""},
        {"abababa", "ab", "ba"},
        {"爸行", "中", "行"},
        {"[귭가]", "귬", "]"},
        {"귭가[😀]𠀀[𠀀]", "[", "]"},
    };
    std::mt19937 random(20261208);
    auto number = [&](size_t most) { return std::uniform_int_distribution<size_t>(0, most)(random); };
    auto pieces = [&](size_t least, size_t most) {
        std::string joined;
        for (size_t n = least + number(most - least); n > 0; --n)
            joined += kPieces[number(std::size(kPieces) - 1)];
        return joined;
    };
    // Texts of random pieces with the left and right texts strewn in, so
    // that most cases find something and many find several middle texts.
    for (int k = 0; k < 60; ++k) {
        Case c;
        c.left = pieces(1, 2);
        c.right = pieces(1, 2);
        for (size_t n = number(12); n > 0; --n) {
            const size_t kind = number(3);
            c.text += kind == 0 ? c.left : kind == 1 ? c.right
                                                     : pieces(1, 1);
        }
        cases.push_back(c);
    }
    return cases;
}

std::vector<std::string> SplitAtZeros(const std::string& bytes)
{
    std::vector<std::string> fields;
    size_t begin = 0;
    for (size_t end; (end = bytes.find('\0', begin)) != std::string::npos; begin = end + 1)
        fields.push_back(bytes.substr(begin, end - begin));
    return fields;
}

// What the program prints for each case.
const std::vector<Outcome>& ProgramOutcomes()
{
    static const std::vector<Outcome> outcomes = [] {
        std::vector<Outcome> all;
        for (const Case& c : Cases()) {
            Outcome o;
            const auto one = RunTool({"extract", "--left=" + c.left, "--right=" + c.right}, c.text);
            EXPECT_TRUE(one.status == 0 || one.status == 1) << Show(c) << ": " << one.err;
            if (one.status == 0)
                o.middle = one.out;
            const auto every = RunTool({"extract", "--all", "-0", "--left=" + c.left, "--right=" + c.right}, c.text);
            EXPECT_TRUE(every.status <= 2) << Show(c) << ": " << every.err;
            EXPECT_EQ(every.status == 2, c.left.empty() || c.right.empty()) << Show(c) << ": " << every.err;
            if (every.status != 2)
                o.all = SplitAtZeros(every.out);
            all.push_back(o);
        }
        return all;
    }();
    return outcomes;
}

// The outcomes the test drivers write (see tests/data/code_drivers).
std::vector<Outcome> ReadOutcomes(const std::string& bytes)
{
    std::vector<Outcome> outcomes;
    const std::vector<std::string> fields = SplitAtZeros(bytes);
    for (size_t k = 0; k < fields.size();) {
        Outcome o;
        if (fields[k] != "-")
            o.middle = fields[k].substr(1);
        if (++k < fields.size() && fields[k] != "E") {
            const size_t count = std::stoul(fields[k]);
            o.all.emplace(fields.begin() + static_cast<ptrdiff_t>(std::min(k + 1, fields.size())),
                          fields.begin() + static_cast<ptrdiff_t>(std::min(k + 1 + count, fields.size())));
            k += count;
        }
        ++k;
        outcomes.push_back(o);
    }
    return outcomes;
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CodeLanguages : public testing::Test {
protected:
    void SetUp() override
    {
        char dir[] = "/tmp/mt-code-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dir_ = dir;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // The program's code in `language` with the driver behind it, as `file`.
    std::string Program(const char* language, const char* driver, const char* file)
    {
        const auto code = RunTool({"code", "--lang", language});
        EXPECT_EQ(code.status, 0) << code.err;
        const std::filesystem::path data = std::getenv("MT_TEST_DATA") ? std::getenv("MT_TEST_DATA") : "tests/data";
        std::string path = dir_ / file;
        std::ofstream(path, std::ios::binary) << code.out << ReadFile(data / "code_drivers" / driver);
        return path;
    }

    // Runs the command (the cases file and an output file appended) and
    // holds what it writes against the program's outcomes.
    void Compare(std::vector<std::string> command)
    {
        const std::vector<Case> cases = Cases();
        const std::string input = dir_ / "cases", output = dir_ / "outcomes";
        std::ofstream in(input, std::ios::binary);
        for (const Case& c : cases)
            in << c.text << '\0' << c.left << '\0' << c.right << '\0';
        in.close();
        command.push_back(input);
        command.push_back(output);
        const auto run = RunProgram(command);
        ASSERT_EQ(run.status, 0) << command[0] << ": " << run.err;
        const std::vector<Outcome> outcomes = ReadOutcomes(ReadFile(output));
        const std::vector<Outcome>& expected = ProgramOutcomes();
        ASSERT_EQ(outcomes.size(), cases.size());
        for (size_t k = 0; k < cases.size(); ++k)
            EXPECT_EQ(outcomes[k], expected[k]) << Show(cases[k]) << "\n  code:    " << Show(outcomes[k])
                                                << "\n  program: " << Show(expected[k]);
    }

    std::filesystem::path dir_;
};

// The random texts are worth running only when they reach every kind of answer.
TEST(CodeLanguageCases, ReachEveryKindOfAnswer)
{
    size_t nothing = 0, empty = 0, middle = 0, several = 0;
    for (const Outcome& o : ProgramOutcomes()) {
        nothing += !o.middle;
        empty += o.middle && o.middle->empty();
        middle += o.middle && !o.middle->empty();
        several += o.all && o.all->size() >= 2;
    }
    EXPECT_GE(nothing, 5u);
    EXPECT_GE(empty, 5u);
    EXPECT_GE(middle, 5u);
    EXPECT_GE(several, 5u);
}

TEST_F(CodeLanguages, PythonExtractsAsTheProgramDoes)
{
    const auto python = FindProgram({"python3"});
    if (!python)
        GTEST_SKIP() << "python3 is not installed";
    Compare({*python, Program("python", "driver.py", "middle_text.py")});
}

TEST_F(CodeLanguages, JavaScriptExtractsAsTheProgramDoes)
{
    const auto node = FindProgram({"node", "nodejs"});
    if (!node)
        GTEST_SKIP() << "node is not installed (the nodejs package)";
    Compare({*node, Program("javascript", "driver.js", "middle_text.js")});
}

TEST_F(CodeLanguages, CExtractsAsTheProgramDoes)
{
    const auto cc = FindProgram({"cc"});
    if (!cc)
        GTEST_SKIP() << "cc, a C compiler, is not installed";
    const std::string source = Program("c", "driver.c", "middle_text.c"), binary = dir_ / "middle_text";
    const auto compile = RunProgram({*cc, "-std=c99", "-pedantic", "-Wall", "-Wextra", "-Werror", "-o", binary, source});
    ASSERT_EQ(compile.status, 0) << compile.err;
    Compare({binary});
}

TEST_F(CodeLanguages, JavaExtractsAsTheProgramDoes)
{
    const auto javac = FindProgram({"javac"});
    const auto java = FindProgram({"java"});
    if (!javac || !java)
        GTEST_SKIP() << "javac and java are not installed (the default-jdk-headless package)";
    // The file must be named for its public class.
    const std::string source = Program("java", "driver.java", "MiddleText.java");
    const auto compile = RunProgram({*javac, "--release", "8", "-Xlint:all", "-Werror", "-d", dir_, source});
    ASSERT_EQ(compile.status, 0) << compile.err;
    Compare({*java, "-cp", dir_, "MiddleTextDriver"});
}

TEST_F(CodeLanguages, GoExtractsAsTheProgramDoes)
{
    const auto go = FindProgram({"go"});
    if (!go)
        GTEST_SKIP() << "go is not installed (the golang-go package)";
    // The package in a module of its own, the driver a command beside it;
    // the build needs no network and writes only below the test's folder.
    std::filesystem::create_directories(dir_ / "middletext");
    const auto code = RunTool({"code", "--lang", "go"});
    ASSERT_EQ(code.status, 0) << code.err;
    std::ofstream(dir_ / "middletext" / "middle_text.go", std::ios::binary) << code.out;
    const std::filesystem::path data = std::getenv("MT_TEST_DATA") ? std::getenv("MT_TEST_DATA") : "tests/data";
    std::ofstream(dir_ / "main.go", std::ios::binary) << ReadFile(data / "code_drivers" / "driver.go");
    std::ofstream(dir_ / "go.mod", std::ios::binary) << "module mtdriver\n\ngo 1.19\n";
    const std::string home = dir_ / "home", binary = dir_ / "driver";
    const auto build = RunProgram({"/usr/bin/env", "HOME=" + home, "GOCACHE=" + home + "/cache", "GOPATH=" + home + "/go",
                                   "GOPROXY=off", "GOTOOLCHAIN=local", "GOFLAGS=", "CGO_ENABLED=0", "/bin/sh", "-c",
                                   "cd \"$1\" && \"$2\" vet ./... && \"$2\" build -o \"$3\" .", "sh", dir_, *go, binary});
    ASSERT_EQ(build.status, 0) << build.err;
    Compare({binary});
}

TEST_F(CodeLanguages, PhpExtractsAsTheProgramDoes)
{
    const auto php = FindProgram({"php"});
    if (!php)
        GTEST_SKIP() << "php is not installed (the php-cli package)";
    const std::string source = Program("php", "driver.php", "middle_text.php");
    const auto lint = RunProgram({*php, "-l", source});
    ASSERT_EQ(lint.status, 0) << lint.out << lint.err;
    Compare({*php, "-d", "error_reporting=-1", "-d", "display_errors=stderr", source});
}

// The generated Python runs on the oldest version its header names: no
// annotation may use the union operator or a subscripted built-in type
// unless annotations are kept as text. Python's own parser finds them.
TEST(CodeLanguagePython, RunsOnPython38)
{
    const std::string code = app::CodeInLanguage("python");
    EXPECT_NE(code.find("Python 3.8 and later"), std::string::npos);
    if (code.find("from __future__ import annotations") != std::string::npos)
        return;
    const auto python = FindProgram({"python3"});
    if (!python)
        GTEST_SKIP() << "python3 is not installed";
    char dir[] = "/tmp/mt-python38-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string source = std::string(dir) + "/middle_text.py";
    std::ofstream(source, std::ios::binary) << code;
    const char* check = R"(
import ast, sys
tree = ast.parse(open(sys.argv[1], encoding="utf-8").read())
newer = {"list", "dict", "tuple", "set", "frozenset", "type"}
def annotations(node):
    if isinstance(node, (ast.FunctionDef, ast.AsyncFunctionDef)):
        yield node.returns
        a = node.args
        for arg in a.posonlyargs + a.args + a.kwonlyargs + [a.vararg, a.kwarg]:
            if arg is not None:
                yield arg.annotation
    elif isinstance(node, ast.AnnAssign):
        yield node.annotation
for node in ast.walk(tree):
    for annotation in annotations(node):
        for part in ast.walk(annotation) if annotation is not None else []:
            if isinstance(part, ast.BinOp) and isinstance(part.op, ast.BitOr):
                print("line", part.lineno, ": X | Y")
            if isinstance(part, ast.Subscript) and isinstance(part.value, ast.Name) and part.value.id in newer:
                print("line", part.lineno, ":", part.value.id + "[...]")
)";
    const auto run = RunProgram({*python, "-c", check, source});
    std::filesystem::remove_all(dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST(CodeLanguageOption, NamesTheLanguagesAndBelongsToCodeAlone)
{
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string err; // a part of standard error
        const char* out; // the whole of standard output
    };
    const Row rows[] = {
        {{"code", "--lang", "python"}, 0, "", app::CodeInLanguage("python")},
        {{"code", "--lang=javascript"}, 0, "", app::CodeInLanguage("javascript")},
        {{"--gbk", "code", "--lang", "c"}, 0, "", app::CodeInLanguage("c")},
        {{"code", "--lang", "java"}, 0, "", app::CodeInLanguage("java")},
        {{"code", "--lang", "go"}, 0, "", app::CodeInLanguage("go")},
        {{"code", "--lang=php"}, 0, "", app::CodeInLanguage("php")},
        {{"code", "--lang", "ruby"}, 2, "--lang takes python, javascript, c, java, go or php, not ruby\n", ""},
        {{"code", "--lang", "Python"}, 2, "--lang takes python, javascript, c, java, go or php, not Python\n", ""},
        {{"code", "--lang"}, 2, "--lang needs a value\n", ""},
        {{"extract", "--left", "[", "--right", "]", "--lang", "c"}, 2, "--lang is not an option of extract\n", ""},
    };
    for (const Row& row : rows) {
        const auto run = RunTool(row.args, "[a]");
        EXPECT_EQ(run.status, row.status) << row.args[1];
        EXPECT_NE(run.err.find(row.err), std::string::npos) << run.err;
        ASSERT_NE(row.out, nullptr);
        EXPECT_EQ(run.out, row.out) << row.args[1];
    }
}

} // namespace
