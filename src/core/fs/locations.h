#pragma once

#include <windows.h>

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace purvex::core {

// One symbolic location: its placeholder name, its known folder (null for the profile list)
// and up to two environment-variable spellings of the same folder.
struct KnownLocation {
    std::wstring_view name;
    const GUID* folderId;
    std::wstring_view environmentForms[2];
};

// The fixed table of placeholders, in order.
std::span<const KnownLocation> KnownLocations();
// Same length and equal ignoring case; null when the name is not in the table.
const KnownLocation* FindKnownLocation(std::wstring_view name);

enum class TemplateMode {
    AllForms = 0,       // every spelling of the folder the system knows
    PreferredForm = 1,  // the known folder, other spellings only when it has none
};

// The folders a placeholder stands for, before normalisation.
using LocationCandidates =
    std::function<std::vector<std::wstring>(const KnownLocation&, TemplateMode)>;
// The system's answer: known folders, environment spellings and the registry's profile list.
std::vector<std::wstring> SystemLocationCandidates(const KnownLocation& location,
                                                   TemplateMode mode);

// "{Name}\tail" and "*\tail" into component patterns for MatchComponents, without duplicates,
// in first-seen order. Unknown placeholders and other forms compile to nothing. Without
// `candidates` the system is asked.
std::vector<std::vector<std::wstring>> CompileTemplates(std::span<const std::wstring> templates,
                                                        TemplateMode mode,
                                                        const LocationCandidates& candidates = {});

// Replaces ResolveVariable, to expand templates against a made-up environment.
using VariableResolver = std::function<std::wstring(const std::wstring&)>;

// The value of one "%NAME%" of a location template, read from the system (never from the
// process environment); empty when unknown or unavailable.
std::wstring ResolveVariable(const std::wstring& name);
// Every "%NAME%" replaced; empty when any is unknown, empty or unclosed.
std::wstring ExpandVariables(std::wstring_view locationTemplate,
                             const VariableResolver& resolver = {});
// The folders that exist now and match the template; '*' and '?' components match subfolder
// names. Links and junctions are never followed.
std::vector<std::wstring> ExpandLocations(std::wstring_view locationTemplate,
                                          const VariableResolver& resolver = {});

// The current user's profile folder from the registry's profile list, computed once.
std::wstring CurrentUserProfile();
// A known folder of the current user, only when it lies inside the user's profile.
std::wstring UserFolder(const GUID& folderId);
// SHGetKnownFolderPath without verification; empty on failure.
std::wstring KnownFolderPath(const GUID& folderId);
// GetSystemWindowsDirectoryW; empty on failure or beyond MAX_PATH.
std::wstring WindowsFolder();

}  // namespace purvex::core
