#include "platform/text_view/text_decoder.h"

#include <iconv.h>

#include "platform/text_view/text_buffer.h"

namespace mt::platform {
namespace {

class SegmentDecoder {
public:
    SegmentDecoder() : cd_(iconv_open("UTF-16LE", "GB18030")) {}
    ~SegmentDecoder()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    SegmentDecoder(const SegmentDecoder&) = delete;
    SegmentDecoder& operator=(const SegmentDecoder&) = delete;

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
                char* ip = const_cast<char*>(bytes.data() + i);
                size_t il = n;
                char* op = reinterpret_cast<char*>(out);
                size_t ol = sizeof out;
                if (cd_ == reinterpret_cast<iconv_t>(-1) || iconv(cd_, &ip, &il, &op, &ol) == size_t(-1) || il != 0) {
                    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
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
    iconv_t cd_;
};

} // namespace

void DecodeByCharacter(const std::string& bytes, QString* text, std::vector<uint32_t>* unitByte)
{
    static SegmentDecoder decoder;
    decoder.decode(bytes, text, unitByte);
}

} // namespace mt::platform
