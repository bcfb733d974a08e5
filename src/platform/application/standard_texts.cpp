#include "platform/application/standard_texts.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cstring>

#include "platform/message_box.h"
#include "platform/platform_texts.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

QString Gb(const char* text, unsigned size) { return FromGb(std::string_view(text, size)); }
#define MT_GB(name) Gb(gb::name, gb::name##Size)

// Answers Qt's lookups of its edit menu entries; everything else stays as
// Qt has it.
class StandardTexts : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (!context || !source ||
            (std::strcmp(context, "QLineEdit") != 0 && std::strcmp(context, "QWidgetTextControl") != 0))
            return {};
        const struct {
            const char* source;
            QString text;
        } entries[] = {
            {"&Undo", MT_GB(kMenuUndo)},
            {"&Redo", MT_GB(kMenuRedo)},
            {"Cu&t", MT_GB(kMenuCut)},
            {"&Copy", MT_GB(kMenuCopy)},
            {"&Paste", MT_GB(kMenuPaste)},
            {"Delete", MT_GB(kMenuDelete)},
            {"Select All", MT_GB(kMenuSelectAll)},
        };
        for (const auto& e : entries) {
            if (std::strcmp(source, e.source) == 0)
                return e.text;
        }
        return {};
    }
};

} // namespace

QString StandardButtonText(int id)
{
    switch (id) {
    case kIdOk: return MT_GB(kButtonOk);
    case kIdCancel: return MT_GB(kButtonCancel);
    case kIdAbort: return MT_GB(kButtonAbort);
    case kIdRetry: return MT_GB(kButtonRetry);
    case kIdIgnore: return MT_GB(kButtonIgnore);
    case kIdYes: return MT_GB(kButtonYes);
    case kIdNo: return MT_GB(kButtonNo);
    }
    return {};
}

void InstallStandardTexts()
{
    QCoreApplication::installTranslator(new StandardTexts(QCoreApplication::instance()));
}

} // namespace mt::platform
