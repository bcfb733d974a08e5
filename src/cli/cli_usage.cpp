// The usage of the command line: the whole of it, or one command's.
#include <cstring>
#include <string>

#include "cli_command_masks.h"
#include "cli_options.h"

namespace app {
namespace {

using namespace cli;

// The usage, piece by piece, each with the commands it belongs to; the
// whole usage is every piece, a command's usage those of its own.
struct UsagePiece {
    unsigned commands;
    const char* text;
};

constexpr UsagePiece kUsage[] = {
    {kWhole, "Usage: middletext                 start the window\n"},
    {kExtract, "       middletext extract --left L --right R [OPTIONS] [SOURCE]...\n"},
    {kFind, "       middletext find --text W [OPTIONS] [SOURCE]...\n"},
    {kFetch, "       middletext fetch [--raw] [-s] [-f] [-o FILE]... [-D FILE] [-w FORMAT] [--max-time SECONDS]\n"
             "                        [-A UA] [-H 'NAME: VALUE']... [-b 'NAME=VALUE; ...'] [--retry N]\n"
             "                        [-k] [--cacert FILE] [-x URL] [--max-redirs N] [--no-compressed]\n"
             "                        [--connect-timeout SECONDS] [--speed-limit BYTES] [--speed-time SECONDS]\n"
             "                        [--max-filesize SIZE] [--max-memory SIZE] URL...\n"},
    {kCode, "       middletext code [--lang python|javascript|c|java|go|php]\n"},
    {kTest, "       middletext test [--json] [--junit FILE] [--update] [-j N] [REQUEST OPTIONS] CASEFILE...\n"},
    {kSuggest, "       middletext suggest (--middle TEXT SOURCE... | --cases FILE) [--json | -0] [-j N]\n"
               "                          [REQUEST OPTIONS]\n"},
    {kWhole, "       middletext -h | --help | -V | --version | COMMAND --help\n"},
    {kAll, "\n"},
    {kExtract, "extract  print the text between the first L in the input and the next R behind it\n"
               "         --all      every such text in order, each on a line of its own; the next L\n"
               "                    is sought behind the last R\n"
               "         --newline  a line break behind the single text\n"},
    {kFind, "find     print the byte positions (1-based) of W, occurrence by occurrence\n"},
    {kRule, "         A SOURCE is a FILE, - (standard input), an http:// or https:// URL (read as\n"
            "         fetch reads it, with its request options), or with -r a DIRECTORY. None:\n"
            "         standard input. Each source runs the same rule; the results come in the\n"
            "         order the sources were given. With several sources and standard error a\n"
            "         terminal (standard output not), one line there counts the sources done.\n"
            "         -r, --recursive    a DIRECTORY stands for its regular files, in name order,\n"
            "                            those of its subdirectories included (links not followed)\n"
            "         --sources LIST     more sources from the file LIST, one a line, behind those\n"
            "                            given (- : standard input; then no source may be -)\n"
            "         -i, --ignore-case  the search's own case rule: the letters A-Z and a-z match\n"
            "                            each other in every byte, bytes of Chinese characters too\n"
            "         --with-filename    SOURCE: in front of every result (the default for more\n"
            "                            than one source, --sources or -r); --no-filename: never\n"
            "         -0, --null         end every result with a zero byte instead of a line break\n"
            "         --count            the number of results of each source\n"
            "         -q, --quiet        print nothing: the exit status alone tells\n"
            "         -m, --max-count N  at most N results of each source (1 to 999999999)\n"
            "         -l, --files-with-matches  the name of each source that gave a result\n"
            "         --color[=WHEN]     the middle text and the names in colour: auto (on a\n"
            "                            terminal, the default of a bare --color), always, never\n"
            "         --json             JSON Lines in UTF-8: source, index (0-based), middle (find:\n"
            "                            text), start and end (1-based bytes of the GB18030 text),\n"
            "                            status found, not_found (message), error (reason) or\n"
            "                            ended_early (reason), with a stable error code beside the\n"
            "                            reason (see the manual); http_status for pages; \"lossy\":\n"
            "                            true when bytes that do not decode became U+FFFD\n"
            "         -j, --jobs N       pages to read at once, 1 to 256 (default 8): connections at\n"
            "                            once. A page that stalls holds up only its own result:\n"
            "                            the others go on within --jobs and --max-memory\n"},
    {kFetch, "fetch    print the page at each URL (http:// or https://), one after another, as the\n"
             "         window would show it.\n"
             "         A page is decoded from the charset it declares (byte-order mark, Content-Type\n"
             "         header, <meta>, or charset=utf-8 in its text). One that declares none, or JSON\n"
             "         or other text without a charset, is read as UTF-8 when it is valid UTF-8 with\n"
             "         at least one multi-byte character; anything else is printed as received. A\n"
             "         page that converts except for a few bad bytes keeps the rest, each bad\n"
             "         sequence becoming U+FFFD, and a warning says how many bytes were replaced.\n"
             "         Compressed bodies (gzip, deflate, br) are decoded.\n"
             "         --raw              the page's bytes, decompressed but not converted\n"
             "         -s, --silent       no progress line on a terminal (warnings still show)\n"
             "         -o, --output FILE  the page of the URL in the same place into FILE (- :\n"
             "                            standard output); pages without one go to standard output\n"
             "         -D, --dump-header FILE  the response header lines of every page into FILE\n"
             "         -w, --write-out FORMAT  FORMAT behind each page on standard output, with\n"
             "                            %{http_code}, %{url_effective}, %{size_download},\n"
             "                            %{time_total}, %{content_type}, %{num_redirects},\n"
             "                            %{exitcode}, %{errorcode}, %% and \\n \\t \\r\n"
             "         -f, --fail         no body for an error status (still exit status 5)\n"},
    {kRequest, "         --max-time S       give up on a page after S seconds in all, retries and their\n"
               "                            waits included (fractions allowed: 2.5)\n"
               "         --connect-timeout S  give up on a connection after S seconds (default 30)\n"
               "         -Y, --speed-limit BYTES  a page slower than BYTES a second (default 1024)...\n"
               "         -y, --speed-time S       ...for S seconds in a row (default 60) is given up;\n"
               "                                  0 for either: no such rule\n"
               "         --max-filesize SIZE  keep at most SIZE decoded bytes of a page (default and\n"
               "                            most 256M; K, M, G: 2^10, 2^20, 2^30 bytes); the page ends\n"
               "                            early there\n"
               "         --max-memory SIZE  the bytes all pages in flight and waiting to be printed may\n"
               "                            hold at once (default 512M); a larger page ends early there\n"
               "         -A, --user-agent UA             send UA as the User-Agent\n"
               "         -H, --header 'NAME: VALUE'      send this header line (may be repeated)\n"
               "         -b, --cookie 'NAME=VALUE; ...'  send these cookies\n"
               "         --retry N          try up to N times more (0 to 100) after a failed connection,\n"
               "                            a time-out or a 5xx answer, waiting 1 s, then 2 s, 4 s, ...,\n"
               "                            or as long as the server's Retry-After asks (up to 60 s)\n"
               "         -k, --insecure     accept any certificate of an https:// server\n"
               "         --cacert FILE      trust the certificates in FILE instead of the system's\n"
               "         -x, --proxy URL    read pages through this proxy (no_proxy still applies)\n"
               "         --max-redirs N     follow at most N redirects (0 to 1000, default 10); with 0\n"
               "                            a redirect's own answer is the page\n"
               "         --no-compressed    ask for the page uncompressed\n"},
    {kCode, "code     print the generated extraction subroutine\n"
            "         --lang      the same extraction in Python, JavaScript, C (over UTF-8 bytes),\n"
            "                     Java, Go or PHP\n"},
    {kTest, "test     run every case of the case files (JSON Lines, one case a line: name, source,\n"
            "         source_gbk, left or left_gbk, right or right_gbk, all, expect or expect_gbk)\n"
            "         as extract runs its rule, and print ok NAME, FAIL NAME (expected and got, and\n"
            "         why a text was not found) or ERROR NAME (the source could not be read), then\n"
            "         N passed, N failed, N errors. A source is a file, found from the case file's\n"
            "         folder, or an http:// or https:// URL read as fetch reads it (the REQUEST\n"
            "         OPTIONS of fetch); each is read once, -j N at once. A malformed line is named\n"
            "         as FILE:LINE: reason and then no case runs.\n"
            "         --json             one object per case: file, line, name, status (ok, fail or\n"
            "                            error), expect, got, hint, error, reason; the summary goes\n"
            "                            to standard error\n"
            "         --junit FILE       write the outcome as JUnit XML to FILE\n"
            "         --update           rewrite the expectations of failing cases with what they\n"
            "                            give now (expect_gbk when that is not UTF-8); every other\n"
            "                            line stays as it is\n"},
    {kSuggest, "suggest  print a left and a right text, each on a line of its own, whose extraction\n"
               "         gives the wanted text from every page\n"
               "         --middle TEXT      the text wanted from each SOURCE: any of its occurrences\n"
               "         --cases FILE       the pages and texts of a case file: source (source_gbk) and\n"
               "                            expect (expect_gbk) of each line; left and right are ignored\n"
               "         --json             print {\"left\": ..., \"right\": ...}\n"
               "         -0, --null         end each text with a zero byte (a text that holds a line\n"
               "                            break needs -0 or --json)\n"},
    {kAll, "\n"
           "A relative FILE, DIRECTORY or LIST, and a relative path in a LIST, is found from the\n"
           "directory the program was started in; a zero byte ends a text. Input and output are in\n"
           "the locale's encoding (UTF-8); --gbk reads and writes raw GB18030 bytes, arguments\n"
           "included. Options take their value as --left L or --left=L (-A UA or -AUA); -- ends\n"
           "the options.\n"},
    {kRequest, "\n"
               "Environment: http_proxy (lower case only), https_proxy or HTTPS_PROXY, and all_proxy\n"
               "or ALL_PROXY name the proxy pages are read through (unless -x names one); no_proxy\n"
               "or NO_PROXY lists the hosts reached directly. SSL_CERT_FILE or CURL_CA_BUNDLE names\n"
               "the certificates trusted for https:// pages (unless --cacert names them).\n"},
    {kAll, "\n"
           "Every message on standard error begins with 'middletext: ', then the source it is\n"
           "about and ': '. Exit status: 0 done; 1 the window's message (on standard error); 2 a\n"
           "command line that cannot be used, or input that cannot be read, does not decode or\n"
           "is too large; 3 the output could not be written; 4 the page ended early (what\n"
           "arrived is used, then a warning with the reason on standard error); 5 the server\n"
           "answered with an error status (the page is used, then a warning naming the\n"
           "status); 6 the page could not be read at all (no connection, name not resolved,\n"
           "TLS refused: the reason on standard error). With several sources: 0 when every\n"
           "source gave a result, else the highest that applies (1 for a source that gave\n"
           "none); each failed source is named on standard error. A command line that cannot\n"
           "be used and a failed write stop at once.\n"},
    {kTest | kSuggest, "test: 2 a command line or case file that cannot be used (no case runs), else 1 when a\n"
                       "case failed, else the highest status of the sources (4 to 6), else 0. suggest: 1 when\n"
                       "no pair exists (the reason on standard error), 2, or 4 to 6 for the sources.\n"},
};

} // namespace

std::string CliUsage(const std::string& command)
{
    const unsigned bit = cli::CommandBit(command);
    std::string usage;
    for (const UsagePiece& piece : kUsage) {
        if (!bit || (piece.commands & bit))
            usage += piece.text;
    }
    if (bit) // the command's own line leads
        usage.replace(0, std::strlen("Usage:") + 1, "Usage: ");
    return usage;
}

} // namespace app
