#include "modules/junk/junk_rules.h"

#include "core/fs/paths.h"

namespace purvex::junk {

bool IsOldEnough(std::uint32_t hours, std::uint64_t lastWrite, std::uint64_t now) {
    if (hours == 0 || lastWrite == 0) {
        return true;
    }
    if (lastWrite >= now) {
        return false;
    }
    // Dividing the age instead of multiplying the hours cannot overflow for any hour count.
    return (now - lastWrite) / kFileTimeHour >= hours;
}

std::uint32_t RequiredAgeHours(const JunkCategory& category, std::uint32_t tempMinAgeHours) {
    switch (category.ageRule) {
        case AgeRule::TempSetting:
            return tempMinAgeHours;
        case AgeRule::Fixed:
            return category.ageHours;
        case AgeRule::None:
            break;
    }
    return 0;
}

bool IsOneClickSafe(bool deepGroup, bool recycleBin, bool defaultSelected, core::Risk risk) {
    return !deepGroup && !recycleBin && defaultSelected &&
           (risk == core::Risk::None || risk == core::Risk::Low);
}

bool IsOneClickSafe(const JunkCategory& category) {
    return IsOneClickSafe(false, category.isRecycleBin, category.defaultSelected, category.risk);
}

FilePatterns::FilePatterns(std::wstring_view patterns) : everything_(patterns.empty()) {
    constexpr std::wstring_view kSpace = L" \t\r\n\uFEFF";
    while (!patterns.empty()) {
        const std::size_t end = patterns.find(L';');
        std::wstring_view piece = patterns.substr(0, end);
        patterns.remove_prefix(end == std::wstring_view::npos ? patterns.size() : end + 1);
        const std::size_t first = piece.find_first_not_of(kSpace);
        if (first == std::wstring_view::npos) {
            continue;
        }
        piece = piece.substr(first, piece.find_last_not_of(kSpace) - first + 1);
        pieces_.emplace_back(piece);
    }
}

bool FilePatterns::Matches(std::wstring_view fileName) const {
    if (everything_) {
        return true;
    }
    for (const std::wstring& piece : pieces_) {
        if (core::WildcardMatch(piece, fileName)) {
            return true;
        }
    }
    return false;
}

bool IsSkippedName(const JunkCategory& category, std::wstring_view fileName) {
    for (const std::wstring_view name : category.skipNames) {
        if (core::EqualsIgnoreCase(name, fileName)) {
            return true;
        }
    }
    return false;
}

}  // namespace purvex::junk
