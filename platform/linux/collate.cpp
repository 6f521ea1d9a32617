// Collation and lower-casing through ICU. Wide strings here are UTF-32; ICU
// works on UTF-16, so each call converts its input first.
#include "platform/collate.h"

#include <unicode/ucol.h>
#include <unicode/uchar.h>

#include <cstdlib>
#include <vector>

namespace ludexa {
namespace {

struct CollatorCloser {
    void operator()(UCollator* c) const noexcept { ucol_close(c); }
};
using CollatorHandle = std::unique_ptr<UCollator, CollatorCloser>;

// UTF-32 to UTF-16; values that are not characters (surrogates, past
// U+10FFFF) become U+FFFD, as they do in every other conversion of ours.
std::u16string toUtf16(std::wstring_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto cp = static_cast<char32_t>(wc);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
        if (cp < 0x10000) {
            out.push_back(static_cast<char16_t>(cp));
        } else {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        }
    }
    return out;
}

const UChar* asUChar(const std::u16string& s) { return reinterpret_cast<const UChar*>(s.data()); }

}  // namespace

struct Collator::Impl {
    CollatorHandle handle;
};

Collator::Collator() = default;
Collator::~Collator() = default;
Collator::Collator(Collator&&) noexcept = default;
Collator& Collator::operator=(Collator&&) noexcept = default;

Collator Collator::forLocale(const std::string& locale) {
    Collator c;
    c.localeName_ = locale;
    UErrorCode status = U_ZERO_ERROR;
    CollatorHandle handle(ucol_open(locale.c_str(), &status));
    if (U_FAILURE(status) || !handle) return c;
    // Secondary strength: base letters and accents count, case does not.
    ucol_setStrength(handle.get(), UCOL_SECONDARY);
    c.impl_ = std::make_unique<Impl>();
    c.impl_->handle = std::move(handle);
    return c;
}

Collator Collator::forUserLocale() { return forLocale(userCollationLocale()); }

bool Collator::valid() const { return impl_ && impl_->handle; }

std::optional<int> Collator::compare(std::wstring_view a, std::wstring_view b) const {
    if (!valid()) return std::nullopt;
    const auto ua = toUtf16(a);
    const auto ub = toUtf16(b);
    switch (ucol_strcoll(impl_->handle.get(), asUChar(ua), static_cast<int32_t>(ua.size()), asUChar(ub),
                         static_cast<int32_t>(ub.size()))) {
    case UCOL_LESS: return -1;
    case UCOL_EQUAL: return 0;
    case UCOL_GREATER: return 1;
    }
    return std::nullopt;
}

std::string Collator::sortKey(std::wstring_view text) const {
    if (!valid()) return {};
    const auto u = toUtf16(text);
    const auto length = static_cast<int32_t>(u.size());
    std::string key(u.size() * 4 + 16, '\0');
    auto* buffer = reinterpret_cast<uint8_t*>(key.data());
    int32_t needed = ucol_getSortKey(impl_->handle.get(), asUChar(u), length, buffer, static_cast<int32_t>(key.size()));
    if (needed > static_cast<int32_t>(key.size())) {
        key.assign(static_cast<std::size_t>(needed), '\0');
        buffer = reinterpret_cast<uint8_t*>(key.data());
        needed = ucol_getSortKey(impl_->handle.get(), asUChar(u), length, buffer, needed);
    }
    // 0 signals failure; otherwise the count includes the terminating zero,
    // which is dropped (std::string ordering treats the end as smallest).
    if (needed <= 0 || needed > static_cast<int32_t>(key.size())) return {};
    key.resize(static_cast<std::size_t>(needed - 1));
    return key;
}

std::string userCollationLocale(const std::function<const char*(const char*)>& getenv) {
    std::string value;
    for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* v = getenv(name);
        if (v && *v) {
            value = v;
            break;
        }
    }
    value = value.substr(0, value.find_first_of(".@"));
    if (value.empty() || value == "C" || value == "POSIX") return "zh_CN";
    return value;
}

std::string userCollationLocale() {
    return userCollationLocale([](const char* name) { return std::getenv(name); });
}

wchar_t lowerChar(wchar_t ch) {
    const auto cp = static_cast<char32_t>(ch);
    if (cp < 0x80) return (cp >= U'A' && cp <= U'Z') ? static_cast<wchar_t>(cp + 32) : ch;
    if (cp > 0x10FFFF) return ch;
    return static_cast<wchar_t>(u_tolower(static_cast<UChar32>(cp)));
}

std::wstring lowerCase(std::wstring_view text) {
    std::wstring out(text);
    for (auto& ch : out) ch = lowerChar(ch);
    return out;
}

}  // namespace ludexa
