// Locale-aware ordering of names, case ignored, and per-character lower-casing.
// In a Chinese locale Han characters order by pinyin, so 阿 comes before 中.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ludexa {

class Collator {
public:
    // A collator that cannot be used: every comparison fails and every sort
    // key is empty.
    Collator();
    ~Collator();
    Collator(Collator&&) noexcept;
    Collator& operator=(Collator&&) noexcept;

    // The collator of `locale` ("zh_CN", "en_US"; "" is the root order),
    // comparing letters and accents but not case. Unusable when the collation
    // data cannot be opened.
    static Collator forLocale(const std::string& locale);
    // The collator of the user's locale (see userCollationLocale).
    static Collator forUserLocale();

    bool valid() const;
    // The locale this collator was asked for.
    const std::string& locale() const { return localeName_; }

    // Negative, zero or positive as a orders before, equal to or after b;
    // nothing when the comparison fails.
    std::optional<int> compare(std::wstring_view a, std::wstring_view b) const;
    // Bytes whose bytewise order is compare()'s order (equal keys for names
    // compare() finds equal). Empty when the key cannot be made.
    std::string sortKey(std::wstring_view text) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string localeName_;
};

// The locale used for ordering names, from LC_ALL, then LC_COLLATE, then LANG
// (the first one set and not empty), without its encoding and modifier:
// "zh_CN.UTF-8" gives "zh_CN". When none names a language ("C", "POSIX" or
// nothing), the launcher's own language, "zh_CN", is used: a Chinese library
// should still sort by pinyin on a machine without a configured locale.
// `getenv` is injectable for tests.
std::string userCollationLocale(const std::function<const char*(const char*)>& getenv);
std::string userCollationLocale();

// Each character lower-cased on its own (simple case mapping): the length
// never changes, so positions in the result are positions in the input.
wchar_t lowerChar(wchar_t ch);
std::wstring lowerCase(std::wstring_view text);

}  // namespace ludexa
