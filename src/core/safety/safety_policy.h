#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/safety/safety_rules.h"
#include "core/safety/safety_verdict.h"

namespace purvex::core {

// The single rule set deciding whether a path may be deleted: every deletion asks it first,
// and scans ask it so that they never offer what could not be deleted.
class SafetyPolicy {
public:
    // The process-wide policy over the system's rules, without exclusions until start-up
    // hands over the settings' list.
    static SafetyPolicy& Instance();

    // A policy over other rules, for tests against made-up folders.
    explicit SafetyPolicy(const SafetyRules& rules);
    SafetyPolicy(const SafetyPolicy&) = delete;
    SafetyPolicy& operator=(const SafetyPolicy&) = delete;

    // The first rule that decides wins: unusable path, user exclusion, drive root or protected
    // location, outside every allowed root, critical area, and (when asked) a reparse point
    // between the root and the path. Never throws; a failure denies.
    [[nodiscard]] SafetyCheck Check(std::wstring_view path,
                                    const std::vector<std::wstring>& allowedRoots,
                                    bool checkReparse) const;

    // Replaces the user's excluded folders; entries that are not usable paths are dropped.
    void SetUserExclusions(const std::vector<std::wstring>& paths);
    [[nodiscard]] std::vector<std::wstring> UserExclusions() const;

private:
    [[nodiscard]] bool IsExcluded(std::wstring_view path) const;
    [[nodiscard]] SafetyCheck CheckUnguarded(std::wstring_view path,
                                             const std::vector<std::wstring>& allowedRoots,
                                             bool checkReparse) const;

    const SafetyRules& rules_;
    mutable std::mutex mutex_;
    std::vector<std::wstring> exclusions_;  // normal forms
};

}  // namespace purvex::core
