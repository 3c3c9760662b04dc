#include "ui/text_pair.h"

#include "core/text.h"

namespace purvex::ui {

std::wstring Translate(std::string_view key) {
    // NOTE: until the language tables are wired in, a key shows as itself, which is also what
    // the translator does for a key missing from every table.
    return core::Utf8ToWide(key);
}

std::wstring ShownText(const TextPair& text) {
    return text.key.empty() ? text.literal : Translate(text.key);
}

}  // namespace purvex::ui
