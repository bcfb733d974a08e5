#include "code_languages.h"

#include "code_templates.h" // generated from src/cli/code_templates

namespace app {

const char kCodeLanguageNames[] = "python, javascript, c, java, go or php";

namespace {

struct CodeLanguage {
    const char* name;
    const char* source;
};

constexpr CodeLanguage kCodeLanguages[] = {
    {"python", kCodeTemplate_py},
    {"javascript", kCodeTemplate_js},
    {"c", kCodeTemplate_c},
    {"java", kCodeTemplate_java},
    {"go", kCodeTemplate_go},
    {"php", kCodeTemplate_php},
};

} // namespace

const char* CodeInLanguage(std::string_view language)
{
    for (const CodeLanguage& row : kCodeLanguages) {
        if (language == row.name)
            return row.source;
    }
    return nullptr;
}

} // namespace app
