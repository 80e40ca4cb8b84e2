#include "runtime/platform/CodePageConversion.h"

#include <iconv.h>

#include <cerrno>

namespace mofeng::runtime::platform {
namespace {

// One descriptor per thread and direction: iconv_t is not thread-safe, and
// opening one per call costs more than most conversions.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::size_t Convert(std::string_view in, std::string& out) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // reset shift state
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
                break;  // EILSEQ or EINVAL: the caller decides what to emit
            }
        }
        return in.size() - inLeft;
    }

private:
    iconv_t m_cd;
};

}  // namespace

std::size_t ConvertLeadingPart(Conversion conversion, std::string_view in, std::string& out) {
    if (conversion == Conversion::GbkToUtf8) {
        thread_local Converter decoder("UTF-8", "CP936");
        return decoder.Convert(in, out);
    }
    thread_local Converter encoder("CP936", "UTF-8");
    return encoder.Convert(in, out);
}

}  // namespace mofeng::runtime::platform
