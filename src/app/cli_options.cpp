#include "cli_options.h"

#include <cstring>

namespace app {

const char kCliUsage[] =
    "Usage: middletext                 start the window\n"
    "       middletext extract --left L --right R [FILE]\n"
    "       middletext find --text W [FILE]\n"
    "       middletext fetch URL\n"
    "       middletext code\n"
    "       middletext --help | --version\n"
    "\n"
    "extract  print the text between the first L in the input and the next R behind it\n"
    "find     print the byte positions (1-based) of W, occurrence by occurrence\n"
    "fetch    print the page at URL (http:// or https://), converted when it declares UTF-8\n"
    "code     print the generated extraction subroutine\n"
    "\n"
    "FILE defaults to standard input; a zero byte ends the text. Input and output are in the\n"
    "locale's encoding (UTF-8); --gbk reads and writes raw GB18030 bytes, arguments included.\n"
    "Messages go to standard error: exit status 1 for the window's messages, 2 for input that\n"
    "does not decode or a command line that cannot be used.\n";

namespace {

bool TakeValue(int argc, char** argv, int* i, std::optional<std::string>* into, std::string* error)
{
    if (*i + 1 >= argc) {
        *error = std::string(argv[*i]) + " needs a value";
        return false;
    }
    *into = argv[++*i];
    return true;
}

bool CheckRequired(const CliOptions& o, std::string* error)
{
    if (o.command == "extract" && (!o.left || !o.right))
        *error = "extract needs --left and --right";
    else if (o.command == "find" && !o.text)
        *error = "find needs --text";
    else if (o.command == "fetch" && !o.file)
        *error = "fetch needs a URL";
    else if (o.command != "extract" && o.command != "find" && (o.left || o.right || o.text))
        *error = "--left, --right and --text belong to extract and find";
    return error->empty();
}

} // namespace

bool ParseCliOptions(int argc, char** argv, CliOptions* o, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            o->command = "help";
            return true;
        }
        if (a == "--version") {
            o->command = "version";
            return true;
        }
        if (a == "--gbk") {
            o->gbk = true;
        } else if (a == "--left" || a == "--right" || a == "--text") {
            auto* into = a == "--left" ? &o->left : a == "--right" ? &o->right : &o->text;
            if (!TakeValue(argc, argv, &i, into, error))
                return false;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            *error = "unknown option " + a;
            return false;
        } else if (o->command.empty()) {
            o->command = a;
        } else if (!o->file) {
            o->file = a; // FILE, or the URL of fetch
        } else {
            *error = "unexpected argument " + a;
            return false;
        }
    }
    if (o->command != "extract" && o->command != "find" && o->command != "fetch" && o->command != "code") {
        *error = o->command.empty() ? "no command given" : "unknown command " + o->command;
        return false;
    }
    if (o->command == "fetch" && o->file)
        o->url = *o->file;
    if (o->command == "code" && o->file) {
        *error = "code takes no arguments";
        return false;
    }
    return CheckRequired(*o, error);
}

} // namespace app
