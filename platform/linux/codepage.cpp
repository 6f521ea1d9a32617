// GBK conversion through glibc's iconv. Opening a converter costs far more
// than converting one character, so each thread keeps its own open one
// (an iconv_t carries shift state and must not be shared between threads).
#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>

#include <memory>
#include <type_traits>

namespace ludexa {
namespace {

struct IconvCloser {
    void operator()(iconv_t cd) const noexcept {
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

IconvHandle openToGbk() {
    // WCHAR_T is the native wchar_t encoding, UTF-32 here.
    iconv_t cd = iconv_open("GBK", "WCHAR_T");
    if (cd == reinterpret_cast<iconv_t>(-1)) return IconvHandle(nullptr);
    return IconvHandle(cd);
}

constexpr char kReplacement[] = "\xEF\xBF\xBD";

}  // namespace

std::string gb18030ToUtf8(std::string_view bytes, bool endsCut, std::size_t maxBytes, bool& cut) {
    cut = false;
    std::string out;
    const IconvHandle converter([] {
        iconv_t cd = iconv_open("UTF-8", "GB18030");
        return cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd;
    }());
    if (!converter) return out;
    // iconv takes a non-const input pointer but never writes through it.
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
        const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
        const std::size_t produced = static_cast<std::size_t>(outPtr - buffer);
        if (out.size() + produced > maxBytes) {
            // Back to the last whole character that fits.
            std::size_t keep = maxBytes - out.size();
            while (keep > 0 && (static_cast<unsigned char>(buffer[keep]) & 0xC0) == 0x80) --keep;
            out.append(buffer, keep);
            cut = true;
            return out;
        }
        out.append(buffer, produced);
        if (error == EILSEQ) {
            ++in, --inLeft;
            if (out.size() + sizeof kReplacement - 1 > maxBytes) {
                cut = true;
                return out;
            }
            out += kReplacement;
        } else if (error == EINVAL) {
            // A character begun in the last bytes and not finished.
            if (!endsCut && out.size() + sizeof kReplacement - 1 <= maxBytes) out += kReplacement;
            break;
        } else if (error != 0 && error != E2BIG) {
            break;
        }
    }
    return out;
}

std::string toGbk(wchar_t ch) {
    thread_local const IconvHandle converter = openToGbk();
    if (!converter) return {};
    iconv_t cd = converter.get();
    // Back to the initial state, in case an earlier call stopped half-way.
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    wchar_t in[1] = {ch};
    char out[8];
    char* inPtr = reinterpret_cast<char*>(in);
    char* outPtr = out;
    std::size_t inLeft = sizeof in;
    std::size_t outLeft = sizeof out;
    // A character GBK cannot encode fails with EILSEQ: no bytes, as the
    // caller expects for "not a GBK character".
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return {};
    if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return {};
    return std::string(out, static_cast<std::size_t>(outPtr - out));
}

}  // namespace ludexa
