#include "platform/text_view/text_decoder.h"

#include "platform/iconv_handle.h"
#include "platform/text_view/text_buffer.h"

namespace mt::platform {
namespace {

class SegmentDecoder {
public:
    SegmentDecoder() : cd_("UTF-16LE", "GB18030") {}

    void decode(const std::string& bytes, QString* text, std::vector<uint32_t>* unitByte)
    {
        text->clear();
        text->reserve(static_cast<qsizetype>(bytes.size()));
        unitByte->clear();
        unitByte->reserve(bytes.size() + 1);
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        for (size_t i = 0; i < bytes.size();) {
            const size_t n = GbCharLength(p + i, bytes.size() - i);
            if (n == 1) {
                text->append(p[i] < 0x80 ? QChar(p[i]) : QChar(0xFFFD));
                unitByte->push_back(static_cast<uint32_t>(i));
            } else {
                char16_t out[2];
                const char* ip = bytes.data() + i;
                size_t il = n;
                char* op = reinterpret_cast<char*>(out);
                size_t ol = sizeof out;
                if (cd_.convert(&ip, &il, &op, &ol) != 0 || il != 0) {
                    cd_.resetState();
                    text->append(QChar(0xFFFD));
                    unitByte->push_back(static_cast<uint32_t>(i));
                } else {
                    for (size_t u = 0; u < (sizeof out - ol) / 2; ++u) {
                        text->append(QChar(out[u]));
                        unitByte->push_back(static_cast<uint32_t>(i));
                    }
                }
            }
            i += n;
        }
        unitByte->push_back(static_cast<uint32_t>(bytes.size()));
    }

private:
    IconvHandle cd_;
};

} // namespace

void DecodeByCharacter(const std::string& bytes, QString* text, std::vector<uint32_t>* unitByte)
{
    static SegmentDecoder decoder;
    decoder.decode(bytes, text, unitByte);
}

} // namespace mt::platform
