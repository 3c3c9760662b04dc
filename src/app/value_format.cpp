#include "app/value_format.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace purvex::app {
namespace {

std::wstring Decimal(std::uint64_t value) {
    return std::to_wstring(value);
}

// Whole part, separator and exactly `digits` fraction digits of a value scaled by 10^digits.
std::wstring Fixed(std::uint64_t scaled, int digits, const std::wstring& separator) {
    const std::uint64_t divisor = digits == 2 ? 100 : 10;
    std::wstring fraction = Decimal(scaled % divisor);
    fraction.insert(0, static_cast<std::size_t>(digits) - fraction.size(), L'0');
    return Decimal(scaled / divisor) + separator + fraction;
}

}  // namespace

std::wstring FormatSize(const FormatState& state, std::uint64_t bytes) {
    if (bytes < 1024) {
        return Decimal(bytes) + L" " + state.unitTexts[0];
    }
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (value >= 1024.0 && unit < 4) {
        value /= 1024.0;
        ++unit;
    }
    for (;;) {
        // std::round rounds halves away from zero, as the display rule wants.
        const double hundredths = std::round(value * 100.0);
        if (hundredths <= 999.0) {
            return Fixed(static_cast<std::uint64_t>(hundredths), 2, state.decimalSeparator) + L" " +
                   state.unitTexts[unit];
        }
        const double tenths = std::round(value * 10.0);
        if (tenths < 1000.0) {
            return Fixed(static_cast<std::uint64_t>(tenths), 1, state.decimalSeparator) + L" " +
                   state.unitTexts[unit];
        }
        const double whole = std::round(value);
        if (whole >= 1024.0 && unit < 4) {
            value /= 1024.0;
            ++unit;
            continue;
        }
        return Decimal(static_cast<std::uint64_t>(whole)) + L" " + state.unitTexts[unit];
    }
}

std::wstring FormatSize(std::uint64_t bytes) {
    return FormatSize(*CurrentFormatState(), bytes);
}

std::wstring FormatCount(const FormatState& state, std::uint64_t count) {
    const std::wstring digits = Decimal(count);
    std::wstring decimal = state.decimalSeparator;
    std::wstring thousands = state.thousandsSeparator;
    NUMBERFMTW format = {};
    format.NumDigits = 0;
    format.LeadingZero = state.leadingZero;
    format.Grouping = state.grouping;
    format.lpDecimalSep = decimal.data();
    format.lpThousandSep = thousands.data();
    format.NegativeOrder = state.negativeOrder;
    wchar_t buffer[64] = {};
    const int length = GetNumberFormatEx(state.localeName.c_str(), 0, digits.c_str(), &format,
                                         buffer, ARRAYSIZE(buffer));
    if (length < 2) {
        return digits;
    }
    return std::wstring(buffer, static_cast<std::size_t>(length - 1));
}

std::wstring FormatCount(std::uint64_t count) {
    return FormatCount(*CurrentFormatState(), count);
}

std::wstring FormatDate(std::wstring_view localeName, const SYSTEMTIME& time) {
    const std::wstring locale(localeName);
    wchar_t buffer[128] = {};
    const int length = GetDateFormatEx(locale.c_str(), DATE_SHORTDATE, &time, nullptr, buffer,
                                       ARRAYSIZE(buffer), nullptr);
    if (length >= 2) {
        return std::wstring(buffer, static_cast<std::size_t>(length - 1));
    }
    wchar_t fallback[32] = {};
    std::swprintf(fallback, ARRAYSIZE(fallback), L"%04u-%02u-%02u", unsigned{time.wYear},
                  unsigned{time.wMonth}, unsigned{time.wDay});
    return fallback;
}

std::wstring FormatFileDate(const FILETIME& utc) {
    SYSTEMTIME universal = {};
    SYSTEMTIME local = {};
    if (!FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
        return {};
    }
    return FormatDate(CurrentFormatState()->localeName, local);
}

}  // namespace purvex::app
