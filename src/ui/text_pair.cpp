#include "ui/text_pair.h"

#include "app/localization.h"

namespace purvex::ui {

std::wstring Translate(std::string_view key) {
    return app::Tr(key);
}

std::wstring ShownText(const TextPair& text) {
    return text.key.empty() ? text.literal : Translate(text.key);
}

}  // namespace purvex::ui
