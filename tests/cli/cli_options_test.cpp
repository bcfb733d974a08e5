// The command line's parser, called directly: the forms an option's value
// may take, where -- ends the options, and the one-line message of each
// mistake.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace {

using app::CliOptions;

// Parses `args` (the program's name is put in front); false with *error.
bool Parse(const std::vector<std::string>& args, CliOptions* o, std::string* error)
{
    std::vector<std::string> words = {"middletext"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    return app::ParseCliOptions(static_cast<int>(words.size()), argv.data(), o, error);
}

struct Accepted {
    const char* name;
    std::vector<std::string> args;
    std::function<void(const CliOptions&)> check;
};

// A failing row names itself.
void PrintTo(const Accepted& row, std::ostream* os) { *os << row.name; }

class ParserAccepts : public testing::TestWithParam<Accepted> {};

TEST_P(ParserAccepts, AndFillsTheOptions)
{
    CliOptions o;
    std::string error;
    ASSERT_TRUE(Parse(GetParam().args, &o, &error)) << error;
    GetParam().check(o);
}

using V = std::vector<std::string>;

const Accepted kAccepted[] = {
    {"LongValueJoined", {"extract", "--left=a=b", "--right=", "f"}, [](const CliOptions& o) {
         EXPECT_EQ(o.left, "a=b"); // only the first = splits
         EXPECT_EQ(o.right, "");
         EXPECT_EQ(o.sources, V{"f"});
     }},
    {"LongValueNext", {"extract", "--left", "a", "--right", "b"}, [](const CliOptions& o) {
         EXPECT_EQ(o.command, "extract");
         EXPECT_EQ(o.left, "a");
         EXPECT_EQ(o.right, "b");
         EXPECT_TRUE(o.sources.empty());
     }},
    {"ValueMayLookLikeAnOption", {"extract", "--left", "--all", "--right", "-"}, [](const CliOptions& o) {
         EXPECT_EQ(o.left, "--all");
         EXPECT_FALSE(o.all);
         EXPECT_EQ(o.right, "-");
     }},
    {"ShortValueJoinedAndNext", {"fetch", "-AUA", "-b", "k=v", "u"}, [](const CliOptions& o) {
         EXPECT_EQ(o.userAgent, "UA");
         EXPECT_EQ(o.cookie, "k=v");
         EXPECT_EQ(o.urls, V{"u"});
     }},
    {"RepeatedHeadersKeepTheirOrder", {"fetch", "-H", "A: 1", "--header=B: 2", "-HC: 3", "u"}, [](const CliOptions& o) { EXPECT_EQ(o.headers, (V{"A: 1", "B: 2", "C: 3"})); }},
    {"OptionsBeforeTheCommand", {"--gbk", "find", "--text", "w", "a", "b"}, [](const CliOptions& o) {
         EXPECT_TRUE(o.gbk);
         EXPECT_EQ(o.sources, (V{"a", "b"}));
     }},
    {"DoubleDashEndsTheOptions", {"extract", "--left", "a", "--right", "b", "--", "--all", "-", "--"}, [](const CliOptions& o) {
         EXPECT_FALSE(o.all);
         EXPECT_EQ(o.sources, (V{"--all", "-", "--"}));
     }},
    {"DashIsASource", {"find", "--text", "w", "-"}, [](const CliOptions& o) { EXPECT_EQ(o.sources, V{"-"}); }},
    {"BareColorIsAuto", {"find", "--text", "w", "--color", "x"}, [](const CliOptions& o) {
         EXPECT_EQ(o.color, "auto");
         EXPECT_EQ(o.sources, V{"x"}); // the word behind is a source, not the colour's value
     }},
    {"ColorJoined", {"find", "--text", "w", "--color=never"}, [](const CliOptions& o) { EXPECT_EQ(o.color, "never"); }},
    {"HelpOfACommand", {"fetch", "--max-time", "x", "-h"}, [](const CliOptions& o) {
         EXPECT_EQ(o.command, "help");
         EXPECT_EQ(o.helpCommand, "fetch");
     }},
    {"VersionBeforeAnyCheck", {"-V", "nonsense"}, [](const CliOptions& o) { EXPECT_EQ(o.command, "version"); }},
    {"SuggestFromCases", {"suggest", "--cases", "c.jsonl", "-j4"}, [](const CliOptions& o) {
         EXPECT_EQ(o.cases, "c.jsonl");
         EXPECT_EQ(o.jobs, "4");
     }},
};

INSTANTIATE_TEST_SUITE_P(Rows, ParserAccepts, testing::ValuesIn(kAccepted),
                         [](const testing::TestParamInfo<Accepted>& info) { return std::string(info.param.name); });

struct Refused {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

// A failing row names itself.
void PrintTo(const Refused& row, std::ostream* os) { *os << row.name; }

class ParserRefuses : public testing::TestWithParam<Refused> {};

TEST_P(ParserRefuses, WithItsMessage)
{
    CliOptions o;
    std::string error;
    EXPECT_FALSE(Parse(GetParam().args, &o, &error));
    EXPECT_EQ(error, GetParam().message);
}

const Refused kRefused[] = {
    {"NoCommand", {}, "no command given"},
    {"NoCommandBehindOptions", {"--gbk"}, "no command given"},
    {"UnknownCommand", {"extrakt"}, "unknown command extrakt (did you mean extract?)"},
    {"UnknownOption", {"find", "--txet", "w"}, "unknown option --txet (did you mean --text?)"},
    {"ShortSwitchesDoNotCluster", {"fetch", "-sk", "u"}, "unknown option -sk"},
    {"OptionOfAnotherCommand", {"fetch", "--all", "u"}, "--all is not an option of fetch"},
    {"RequiredOptionMissing", {"extract", "--left", "a"}, "extract needs --right"},
    {"ValueMissing", {"extract", "--right", "b", "--left"}, "--left needs a value"},
    {"SwitchGivenAValue", {"extract", "--left", "a", "--right", "b", "--all=yes"}, "--all takes no value"},
    {"GivenTwice", {"extract", "--left", "a", "--left", "b"}, "--left given twice"},
    {"OperandNeeded", {"fetch", "-s"}, "fetch needs URL"},
    {"OperandNotTaken", {"code", "x"}, "unexpected argument x"},
    {"JobsOutOfRange", {"find", "--text", "w", "-j", "257"}, "--jobs needs a whole number from 1 to 256"},
    {"JobsNotANumber", {"find", "--text", "w", "--jobs=+4"}, "--jobs needs a whole number from 1 to 256"},
    {"ColorWord", {"find", "--text", "w", "--color=sometimes"}, "--color takes auto, always or never, not sometimes"},
    {"StandardInputTwice", {"find", "--text", "w", "--sources", "-", "-"}, "--sources - reads standard input: no source may be -"},
    {"JsonWithCount", {"find", "--text", "w", "--json", "--count"}, "--json takes no --count"},
    {"NewlineWithAll", {"extract", "--left", "a", "--right", "b", "--all", "--newline"}, "--newline is for a single text; --all ends every text"},
    {"BothFilenameRules", {"find", "--text", "w", "--with-filename", "--no-filename"}, "--with-filename and --no-filename: give one"},
    {"MaxTimeZero", {"fetch", "--max-time", "0", "u"}, "--max-time needs seconds above 0, at most 2147483 (such as 30 or 2.5)"},
    {"SizeUnit", {"fetch", "--max-filesize", "1T", "u"}, "--max-filesize needs a size from 1 to 256M (K, M and G allowed)"},
    {"HeaderWithoutColon", {"fetch", "-H", "nocolon", "u"}, "--header needs 'Name: value', not nocolon"},
    {"HeaderWithALineBreak", {"fetch", "-H", "A: 1\r\nB: 2", "u"}, "--header holds a control character"},
    {"MoreOutputsThanUrls", {"fetch", "-o", "a", "-o", "b", "u"}, "-o given 2 times for 1 URL"},
    {"LanguageUnknown", {"code", "--lang", "cobol"}, "--lang takes python, javascript, c, java, go or php, not cobol"},
    {"SuggestNeedsOneWay", {"suggest", "x"}, "suggest needs --middle TEXT and one SOURCE or more, or --cases FILE: give one"},
    {"SuggestCasesTakeNoSource", {"suggest", "--cases", "c", "x"}, "suggest --cases reads its sources from the file: no SOURCE may be given"},
};

INSTANTIATE_TEST_SUITE_P(Rows, ParserRefuses, testing::ValuesIn(kRefused),
                         [](const testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); });

// The bounded numbers the options take: digits only, within the bounds.
TEST(ParserValues, NumbersSecondsAndSizes)
{
    EXPECT_EQ(app::BoundedNumber("0", 0, 5), 0);
    EXPECT_EQ(app::BoundedNumber("5", 0, 5), 5);
    EXPECT_EQ(app::BoundedNumber("6", 0, 5), -1);
    EXPECT_EQ(app::BoundedNumber("", 0, 5), -1);
    EXPECT_EQ(app::BoundedNumber("-1", -5, 5), -1);
    EXPECT_EQ(app::BoundedNumber("9999999999", 0, 5), -1); // too long to be read at all
    EXPECT_EQ(app::Milliseconds("2.5"), 2500);
    EXPECT_EQ(app::Milliseconds("0.0001"), 1); // at least a millisecond
    EXPECT_EQ(app::Milliseconds("0"), -1);
    EXPECT_EQ(app::Milliseconds("1e3"), -1);
    EXPECT_EQ(app::SizeValue("2k", 1, app::kMaxFileSize), 2048);
    EXPECT_EQ(app::SizeValue("256M", 1, app::kMaxFileSize), app::kMaxFileSize);
    EXPECT_EQ(app::SizeValue("257M", 1, app::kMaxFileSize), -1);
    EXPECT_EQ(app::SizeValue("1.5M", 1, app::kMaxFileSize), -1);
}

} // namespace
