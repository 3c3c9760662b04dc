#include <string>
#include <vector>

#include "core/fs/locations.h"
#include "core/fs/paths.h"

namespace purvex::core {
namespace {

using Pattern = std::vector<std::wstring>;

std::vector<std::wstring> SplitTail(std::wstring_view tail) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= tail.size()) {
        std::size_t end = tail.find(L'\\', start);
        if (end == std::wstring_view::npos) {
            end = tail.size();
        }
        if (end > start) {
            parts.emplace_back(tail.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

bool SamePattern(const Pattern& a, const Pattern& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!EqualsIgnoreCase(a[i], b[i])) {
            return false;
        }
    }
    return true;
}

void AddUnique(std::vector<Pattern>& out, Pattern pattern) {
    for (const Pattern& existing : out) {
        if (SamePattern(existing, pattern)) {
            return;
        }
    }
    out.push_back(std::move(pattern));
}

void CompileOne(const std::wstring& text, TemplateMode mode, const LocationCandidates& candidates,
                std::vector<Pattern>& out) {
    if (text.starts_with(L"*\\")) {
        Pattern pattern{L"*"};
        for (std::wstring& part : SplitTail(std::wstring_view(text).substr(1))) {
            pattern.push_back(std::move(part));
        }
        AddUnique(out, std::move(pattern));
        return;
    }
    if (!text.starts_with(L"{")) {
        return;
    }
    const std::size_t close = text.find(L'}');
    if (close == std::wstring::npos) {
        return;
    }
    const KnownLocation* location = FindKnownLocation(std::wstring_view(text).substr(1, close - 1));
    if (location == nullptr) {
        return;
    }
    const std::vector<std::wstring> tail = SplitTail(std::wstring_view(text).substr(close + 1));
    const std::vector<std::wstring> bases =
        candidates ? candidates(*location, mode) : SystemLocationCandidates(*location, mode);
    for (const std::wstring& base : bases) {
        const std::wstring normal = NormalizePath(base);
        if (normal.empty()) {
            continue;
        }
        Pattern pattern = SplitPath(normal);
        pattern.insert(pattern.end(), tail.begin(), tail.end());
        AddUnique(out, std::move(pattern));
    }
}

}  // namespace

std::vector<std::vector<std::wstring>> CompileTemplates(std::span<const std::wstring> templates,
                                                        TemplateMode mode,
                                                        const LocationCandidates& candidates) {
    std::vector<Pattern> out;
    for (const std::wstring& text : templates) {
        CompileOne(text, mode, candidates, out);
    }
    return out;
}

}  // namespace purvex::core
