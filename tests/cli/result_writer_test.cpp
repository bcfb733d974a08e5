// The result writer of extract and find, fed directly: what each form of
// output (bare, named, counted, listed, coloured, JSON Lines) writes for the
// same results, with the separators between them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app_image.h"
#include "cli/cli_context.h"
#include "cli/result_writer.h"
#include "support/runtime_fixture.h"

namespace {

using app::CliOptions;

// A source and what it gave: results (text, 1-based start), or none.
struct Given {
    std::string name;
    std::vector<std::pair<std::string, int32_t>> results;
};

struct Row {
    const char* name;
    std::function<void(CliOptions&)> options;
    bool named; // as the source list says for many sources
    std::vector<Given> sources;
    std::string expected;
};

// A failing row names itself.
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class ResultWriterWrites : public testing::TestWithParam<Row> {
protected:
    void SetUp() override { mt::test::StartRuntime(&app::kProgramHeader); }
    void TearDown() override { mt::test::StopRuntime(); }
};

// What the writer puts on its output for the row's sources.
std::string Written(const Row& row)
{
    CliOptions o;
    o.command = "extract";
    row.options(o);
    std::FILE* file = std::tmpfile();
    const app::ConsoleText console = app::ConsoleText::ForEncoding("UTF-8");
    std::string out;
    {
        app::ConsoleOutput output(fileno(file));
        const app::CliContext context{o, console, output, AT_FDCWD};
        app::ResultWriter writer(context, row.named);
        for (const Given& source : row.sources) {
            writer.begin(source.name, nullptr);
            for (const auto& [text, start] : source.results) {
                if (!writer.enough())
                    writer.found(text, start);
            }
            if (source.results.empty())
                writer.notFound(app::lit::LeftNotFound);
            writer.end();
        }
        std::string error;
        EXPECT_TRUE(output.finish(&error)) << error;
    }
    std::rewind(file);
    char piece[4096];
    for (size_t n; (n = std::fread(piece, 1, sizeof piece, file)) > 0;)
        out.append(piece, n);
    std::fclose(file);
    return out;
}

TEST_P(ResultWriterWrites, TheResultsAsAsked)
{
    EXPECT_EQ(Written(GetParam()), GetParam().expected);
}

const std::string kZhong = "\xd6\xd0"; // 中 in GB18030

const Row kRows[] = {
    {"SingleBare", [](CliOptions&) {}, false, {{"-", {{"mid", 4}}}}, "mid"},
    {"SingleWithNewline", [](CliOptions& o) { o.newline = true; }, false, {{"-", {{"mid", 4}}}}, "mid\n"},
    {"AllEachOnALine", [](CliOptions& o) { o.all = true; }, false, {{"f", {{"a", 1}, {"", 5}, {"b", 9}}}}, "a\n\nb\n"},
    {"AllEndedByZeroBytes", [](CliOptions& o) { o.all = o.zero = true; }, false, {{"f", {{"a", 1}, {"b", 9}}}}, std::string("a\0b\0", 4)},
    {"ManySourcesNamed", [](CliOptions&) {}, true, {{"s1", {{"x", 1}}}, {"s2", {{"y", 1}}}}, "s1:x\ns2:y\n"},
    {"ManySourcesWithoutNames", [](CliOptions& o) { o.noFilename = true; }, true, {{"s1", {{"x", 1}}}, {"s2", {{"y", 1}}}}, "x\ny\n"},
    {"OneSourceWithItsName", [](CliOptions& o) { o.withFilename = true; }, false, {{"s1", {{"x", 1}}}}, "s1:x\n"},
    {"GbTextInTheTerminalsEncoding", [](CliOptions&) {}, true, {{"s", {{kZhong, 1}}}}, "s:\xe4\xb8\xad\n"},
    {"FindWritesPositions", [](CliOptions& o) { o.command = "find"; }, false, {{"f", {{"w", 3}, {"w", 10}}}}, "3\n10\n"},
    {"CountOfEachSource", [](CliOptions& o) { o.count = true; }, true, {{"s1", {{"x", 1}, {"y", 2}}}, {"s2", {}}}, "s1:2\ns2:0\n"},
    {"MaxCountStopsTheSource", [](CliOptions& o) { o.all = true, o.maxCount = "2"; }, true, {{"s1", {{"a", 1}, {"b", 2}, {"c", 3}}}, {"s2", {{"d", 1}}}}, "s1:a\ns1:b\ns2:d\n"},
    {"NamesOfTheSourcesWithResults", [](CliOptions& o) { o.filesWithMatches = true; }, true, {{"s1", {{"x", 1}}}, {"s2", {}}, {"s3", {{"y", 1}}}}, "s1\ns3\n"},
    {"QuietWritesNothing", [](CliOptions& o) { o.quiet = true; }, true, {{"s1", {{"x", 1}}}, {"s2", {}}}, ""},
    {"ColorPaintsNameColonAndText", [](CliOptions& o) { o.color = "always"; }, true, {{"s", {{"x", 1}}}}, "\x1b[35m\x1b[Ks\x1b[m\x1b[K\x1b[36m\x1b[K:\x1b[m\x1b[K\x1b[01;31m\x1b[Kx\x1b[m\x1b[K\n"},
    {"ColorNeverIsPlain", [](CliOptions& o) { o.color = "never"; }, true, {{"s", {{"x", 1}}}}, "s:x\n"},
    {"JsonOneObjectPerResult", [](CliOptions& o) { o.json = o.all = true; }, false, {{"f", {{kZhong, 3}, {"b\"", 9}}}}, "{\"source\":\"f\",\"index\":0,\"middle\":\"\xe4\xb8\xad\",\"start\":3,\"end\":4,\"status\":\"found\"}\n"
                                                                                                                        "{\"source\":\"f\",\"index\":1,\"middle\":\"b\\\"\",\"start\":9,\"end\":10,\"status\":\"found\"}\n"},
    {"JsonFindNamesTheText", [](CliOptions& o) { o.json = true, o.command = "find"; }, false, {{"f", {{"w", 7}}}}, "{\"source\":\"f\",\"index\":0,\"text\":\"w\",\"start\":7,\"end\":7,\"status\":\"found\"}\n"},
};

INSTANTIATE_TEST_SUITE_P(Rows, ResultWriterWrites, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

} // namespace
