#pragma once

#include <span>
#include <string>

namespace purvex::app {

// Maps Windows UI language names, most preferred first, to the code of a supported language:
// the first name whose primary subtag is supported wins; "en" when none is.
std::wstring ChooseLanguage(std::span<const std::wstring> languageNames);

// ChooseLanguage over the user's preferred Windows UI languages; logs what it saw and chose.
std::wstring DetectSystemLanguage();

}  // namespace purvex::app
