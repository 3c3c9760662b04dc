#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/delete_types.h"
#include "modules/junk/junk_category.h"

namespace purvex::junk {

// 100-nanosecond file-time units in one hour.
inline constexpr std::uint64_t kFileTimeHour = 36'000'000'000ull;

// Whether a file last written at `lastWrite` is at least `hours` old at `now` (both file
// times). Zero hours takes everything, an unknown time (0) is taken, and a time at or after
// `now` never is.
bool IsOldEnough(std::uint32_t hours, std::uint64_t lastWrite, std::uint64_t now);

// The age a category asks of its files, given the user's setting for temporary files;
// 0 means any age.
std::uint32_t RequiredAgeHours(const JunkCategory& category, std::uint32_t tempMinAgeHours);

// Whether a group may be cleaned without asking: never a deep-scan group or the Recycle Bin,
// only what is ticked by default and below medium risk.
bool IsOneClickSafe(bool deepGroup, bool recycleBin, bool defaultSelected, core::Risk risk);
bool IsOneClickSafe(const JunkCategory& category);

// The ';'-separated file-name patterns of a location, trimmed and ready to match.
class FilePatterns {
public:
    explicit FilePatterns(std::wstring_view patterns);

    // The file name alone, without its folder.
    [[nodiscard]] bool Matches(std::wstring_view fileName) const;

private:
    bool everything_ = false;
    std::vector<std::wstring> pieces_;
};

// A name the category never takes, compared ignoring case.
bool IsSkippedName(const JunkCategory& category, std::wstring_view fileName);

}  // namespace purvex::junk
