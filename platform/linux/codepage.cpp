// GBK conversion through glibc's iconv. Opening a converter costs far more
// than converting one character, so each thread keeps its own open one
// (an iconv_t carries shift state and must not be shared between threads).
#include "platform/codepage.h"

#include <iconv.h>

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

}  // namespace

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
