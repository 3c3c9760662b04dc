#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace purvex::app {

// Activates a supported language (code compared ignoring case). False, with the previous
// language kept, for an unknown code or a table that cannot be loaded. Listeners run
// afterwards on the calling thread, with no localization lock held.
bool SetLanguage(std::wstring_view code);

// Canonical code of the active table; "en" before any switch.
std::wstring CurrentLanguage();

// The text of the active language, else English, else the key itself. Every table stays
// loaded until the process ends, so the reference never dangles; callers that keep a text
// still copy it, since it changes with the language.
const std::wstring& Tr(std::string_view key);

// Called after every successful switch, in registration order. Ids count up from 0.
int AddLanguageListener(std::function<void()> listener);

}  // namespace purvex::app
