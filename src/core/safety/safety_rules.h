#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/fs/locations.h"
#include "core/safety/safety_verdict.h"

namespace purvex::core {

// The fixed rule tables compiled into component patterns once, against the folders of this
// machine as they are at that moment. Immutable afterwards, so any thread may read them.
class SafetyRules {
public:
    using Pattern = std::vector<std::wstring>;

    // Compiled from the system's known folders and profile list on first use.
    static const SafetyRules& Instance();

    // Compiled against the given candidate folders (the system's when empty).
    explicit SafetyRules(const LocationCandidates& candidates = {});

    // The critical-area test alone, on a path in normal form: true when a check would say
    // DenyProtected whatever the roots. Empty paths and failures count as critical.
    [[nodiscard]] bool IsCritical(std::wstring_view path) const;
    // True when some allowed junk location (or the crash dump) lies strictly below the path,
    // so a scan skipping critical folders must still descend into it.
    [[nodiscard]] bool ContainsAllowedArea(std::wstring_view path) const;

    // Step by step, for the policy. Components come from SplitPath of a normal form.
    [[nodiscard]] bool IsProtectedLocation(const Pattern& components) const;
    // DenyProtected, or Allow when the critical-area rules let the path through.
    [[nodiscard]] SafetyVerdict JudgeArea(const Pattern& components) const;

    const std::vector<Pattern>& ProtectedLocations() const noexcept { return protected_; }
    const std::vector<Pattern>& CriticalAreas() const noexcept { return critical_; }
    const std::vector<Pattern>& AllowedJunk() const noexcept { return junk_; }

private:
    std::vector<Pattern> protected_;
    std::vector<Pattern> critical_;
    std::vector<Pattern> junk_;
    std::vector<Pattern> crashDump_;
    std::vector<Pattern> previousInstallations_;
};

// A path given through a drive's administrative share ("\\host\C$\…") names the same folder as
// the drive path ("C:\…"); the drive form of its components, or nothing for any other path.
std::vector<std::wstring> DriveFormOfAdminShare(const std::vector<std::wstring>& components);

}  // namespace purvex::core
