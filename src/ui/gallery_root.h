#pragma once

#include <functional>
#include <string>

#include "ui/stack.h"

namespace purvex::ui {

class Card;
class ScrollView;

// The developer gallery: a header with theme and language switches over a scrolling page of
// every control in its states.
class GalleryRoot : public VStack {
public:
    // onLanguage is called with the code the user picked in the language box.
    explicit GalleryRoot(std::function<void(const std::wstring& code)> onLanguage);

    Card& BuildButtons();
    Card& BuildSelection();
    Card& BuildText();
    Card& BuildProgress();
    Card& BuildStatus();
    Card& BuildCards();
    Card& BuildIcons();

private:
    Card& SectionCard(Stack& column, const char* titleKey);

    std::function<void(const std::wstring&)> onLanguage_;
    VStack* left_ = nullptr;
    VStack* right_ = nullptr;
    VStack* content_ = nullptr;
};

}  // namespace purvex::ui
