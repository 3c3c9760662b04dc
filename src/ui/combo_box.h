#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/animated_float.h"
#include "ui/text_pair.h"
#include "ui/widget.h"

namespace purvex::ui {

// Where a drop-down list of the given height opens for a field: below it when there is room,
// else above when there is more room there. `clientHeight` is the window's.
Rect PlaceDropDownList(const Rect& field, float clientHeight, float listWidth, float listHeight);

// Builds the list a combo box opens: the item texts, the current selection, what to call when
// an item is chosen, and what to call when the list goes away (chosen or dismissed).
using DropDownListFactory = std::function<std::unique_ptr<Widget>(
    const std::vector<std::wstring>& items, std::int32_t selected,
    std::function<void(std::int32_t)> onChoose, std::function<void()> onClosed)>;

// The closed field of a drop-down choice; the list it opens is an overlay.
class ComboBox : public Widget {
public:
    ComboBox(std::vector<TextPair> items, std::int32_t selected, TextPair placeholder = {});
    ~ComboBox() override;

    void SetItems(std::vector<TextPair> value);
    void SetSelected(std::int32_t index);
    void Open();
    void CloseList();

    bool IsFocusable(int direction) const override;
    Size Measure(float availableWidth) override;
    void Paint(RenderContext& context) override;
    bool OnMouseDown(const MouseEvent& event) override;
    bool OnKeyDown(const KeyEvent& event) override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    bool OnAnimationTick(double nowMs) override;

    std::function<void(std::int32_t)> onChange;
    std::vector<TextPair> items;
    std::int32_t selected;
    TextPair placeholder;
    float minWidth = 120;
    Widget* openPopup = nullptr;
    AnimatedFloat hover{120, 0};
    // Supplies the list overlay; without one the field still changes by keyboard.
    DropDownListFactory listFactory;

private:
    void ChangeTo(std::int32_t index);
};

}  // namespace purvex::ui
