#include "core/safety/safety_rules.h"

#include <exception>

#include "core/fs/paths.h"
#include "core/safety/safety_tables.h"

namespace purvex::core {
namespace {

bool AnyMatches(const std::vector<SafetyRules::Pattern>& patterns,
                const SafetyRules::Pattern& components, PathMatch wanted) {
    for (const auto& pattern : patterns) {
        if (MatchComponents(components, pattern) == wanted) {
            return true;
        }
    }
    return false;
}

bool InsidePreviousInstallation(const std::vector<SafetyRules::Pattern>& patterns,
                                const SafetyRules::Pattern& components) {
    return AnyMatches(patterns, components, PathMatch::Inside);
}

bool HasBrowserDataComponent(const SafetyRules::Pattern& components) {
    for (std::size_t i = 1; i < components.size(); ++i) {
        for (const std::wstring& name : safety_detail::BrowserDataNames()) {
            if (EqualsIgnoreCase(components[i], name)) {
                return true;
            }
        }
    }
    return false;
}

// The path's components match the leading components of a longer pattern.
bool LiesAbove(const SafetyRules::Pattern& components, const SafetyRules::Pattern& pattern) {
    if (components.empty() || pattern.size() <= components.size()) {
        return false;
    }
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (!WildcardMatch(pattern[i], components[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

const SafetyRules& SafetyRules::Instance() {
    static const SafetyRules rules;
    return rules;
}

SafetyRules::SafetyRules(const LocationCandidates& candidates)
    : protected_(CompileTemplates(safety_detail::ProtectedLocationTemplates(),
                                  TemplateMode::AllForms, candidates)),
      critical_(CompileTemplates(safety_detail::CriticalAreaTemplates(), TemplateMode::AllForms,
                                 candidates)),
      junk_(CompileTemplates(safety_detail::AllowedJunkTemplates(), TemplateMode::PreferredForm,
                             candidates)),
      crashDump_(CompileTemplates(safety_detail::CrashDumpTemplates(), TemplateMode::PreferredForm,
                                  candidates)),
      previousInstallations_(CompileTemplates(safety_detail::PreviousInstallationTemplates(),
                                              TemplateMode::PreferredForm, candidates)) {}

bool SafetyRules::IsProtectedLocation(const Pattern& components) const {
    return AnyMatches(protected_, components, PathMatch::Equal);
}

SafetyVerdict SafetyRules::JudgeArea(const Pattern& components) const {
    if (components.size() >= 2 && !InsidePreviousInstallation(previousInstallations_, components) &&
        HasBrowserDataComponent(components)) {
        return SafetyVerdict::DenyProtected;
    }
    for (const Pattern& area : critical_) {
        const PathMatch match = MatchComponents(components, area);
        if (match == PathMatch::NoMatch) {
            continue;
        }
        if (AnyMatches(junk_, components, PathMatch::Inside) ||
            AnyMatches(crashDump_, components, PathMatch::Equal)) {
            return SafetyVerdict::Allow;
        }
        return SafetyVerdict::DenyProtected;
    }
    return SafetyVerdict::Allow;
}

bool SafetyRules::IsCritical(std::wstring_view path) const {
    try {
        if (path.empty()) {
            return true;
        }
        const Pattern components = SplitPath(path);
        if (JudgeArea(components) != SafetyVerdict::Allow) {
            return true;
        }
        const Pattern drive = DriveFormOfAdminShare(components);
        return !drive.empty() && JudgeArea(drive) != SafetyVerdict::Allow;
    } catch (...) {
        return true;
    }
}

bool SafetyRules::ContainsAllowedArea(std::wstring_view path) const {
    try {
        const Pattern components = SplitPath(path);
        for (const auto* list : {&junk_, &crashDump_}) {
            for (const Pattern& pattern : *list) {
                if (LiesAbove(components, pattern)) {
                    return true;
                }
            }
        }
        return false;
    } catch (...) {
        return false;
    }
}

std::vector<std::wstring> DriveFormOfAdminShare(const std::vector<std::wstring>& components) {
    if (components.empty()) {
        return {};
    }
    // "\\server\X$": the share is a single drive letter followed by '$'.
    const std::wstring& first = components.front();
    if (first.size() < 6 || first[0] != L'\\' || first[1] != L'\\' || first.back() != L'$') {
        return {};
    }
    const std::size_t slash = first.find(L'\\', 2);
    if (slash == std::wstring::npos || first.size() - slash != 3) {
        return {};
    }
    const wchar_t letter = first[slash + 1];
    const bool ascii = (letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z');
    if (!ascii) {
        return {};
    }
    std::vector<std::wstring> drive = components;
    drive.front() = std::wstring{letter, L':'};
    return drive;
}

}  // namespace purvex::core
