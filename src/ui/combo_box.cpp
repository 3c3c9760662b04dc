#include "ui/combo_box.h"

#include <windows.h>

#include <algorithm>

#include "ui/render_context.h"
#include "ui/text_measure.h"
#include "ui/theme.h"
#include "ui/widget_host.h"

namespace purvex::ui {
namespace {

constexpr TextStyle kTextStyle{kBody, 0, 1, false, true};
constexpr float kMaxListHeight = 328;

std::int32_t ValidIndex(std::int32_t index, std::size_t count) {
    return index >= 0 && static_cast<std::size_t>(index) < count ? index : -1;
}

}  // namespace

Rect PlaceDropDownList(const Rect& field, float clientHeight, float listWidth, float listHeight) {
    const float below = clientHeight - 8 - (field.Bottom() + 4);
    const float above = field.y - 4 - 48;
    const float length = std::min(kMaxListHeight, listHeight);
    const float width = std::max(listWidth, field.width);
    if (below < length && below < above) {
        const float height = std::min(above, length);
        return {field.x, field.y - 4 - height, width, height};
    }
    return {field.x, field.Bottom() + 4, width, std::min(std::max(below, 40.0f), length)};
}

ComboBox::ComboBox(std::vector<TextPair> list, std::int32_t initial, TextPair placeholderText)
    : items(std::move(list)),
      selected(ValidIndex(initial, items.size())),
      placeholder(std::move(placeholderText)) {}

ComboBox::~ComboBox() {
    CloseList();
}

void ComboBox::CloseList() {
    if (Widget* popup = std::exchange(openPopup, nullptr)) {
        if (WidgetHost* h = Host()) {
            h->CloseOverlay(popup);
        }
    }
}

void ComboBox::SetItems(std::vector<TextPair> value) {
    CloseList();
    items = std::move(value);
    selected = ValidIndex(selected, items.size());
    RequestLayout();
}

void ComboBox::SetSelected(std::int32_t index) {
    selected = ValidIndex(index, items.size());
    Invalidate();
}

void ComboBox::ChangeTo(std::int32_t index) {
    if (index != selected) {
        selected = index;
        Invalidate();
        if (onChange) {
            onChange(index);
        }
    }
}

void ComboBox::Open() {
    WidgetHost* h = Host();
    if (h == nullptr || openPopup != nullptr || items.empty() || !IsEffectivelyEnabled() ||
        !listFactory) {
        return;
    }
    std::vector<std::wstring> texts;
    texts.reserve(items.size());
    for (const TextPair& item : items) {
        texts.push_back(ShownText(item));
    }
    std::unique_ptr<Widget> list = listFactory(
        texts, selected, [this](std::int32_t index) { ChangeTo(ValidIndex(index, items.size())); },
        [this] {
            openPopup = nullptr;
            Invalidate();
        });
    if (!list) {
        return;
    }
    const Size wanted = list->Measure(kUnbounded);
    const Rect place =
        PlaceDropDownList(bounds, h->ClientSize().height, wanted.width, wanted.height);
    openPopup = h->OpenOverlay(std::move(list), OverlayKind::Popup, place);
    Invalidate();
}

bool ComboBox::IsFocusable(int) const {
    return IsEffectivelyEnabled();
}

Size ComboBox::Measure(float) {
    float widest = MeasureText(ShownText(placeholder), kTextStyle, kUnbounded).width;
    for (const TextPair& item : items) {
        widest = std::max(widest, MeasureText(ShownText(item), kTextStyle, kUnbounded).width);
    }
    return {std::max(minWidth, widest + 44), 32};
}

void ComboBox::Paint(RenderContext& context) {
    const bool active = IsEffectivelyEnabled();
    Color fill = Mix(RoleColor(7), RoleColor(8), hover.current);
    if (!active) {
        fill = RoleColor(10);
    } else if ((pressed && hovered) || openPopup != nullptr) {
        fill = RoleColor(9);
    }
    context.FillRect(bounds, fill, 8);
    context.StrokeRect(bounds, RoleColor(11), 1, 8);
    const bool hasSelection = selected >= 0 && static_cast<std::size_t>(selected) < items.size();
    const std::wstring text = hasSelection ? ShownText(items[static_cast<std::size_t>(selected)])
                                           : ShownText(placeholder);
    context.DrawText(text,
                     {bounds.x + 12, bounds.y, std::max(0.0f, bounds.width - 40), bounds.height},
                     kTextStyle, RoleColor(!active ? 17 : (hasSelection ? 14 : 15)));
    context.DrawIcon(IconId::ChevronDown,
                     {bounds.Right() - 24, bounds.y + (bounds.height - 12) / 2, 12, 12},
                     RoleColor(active ? 15 : 17));
    context.DrawFocusRing(*this, bounds, 8);
}

bool ComboBox::OnMouseDown(const MouseEvent& event) {
    if (event.button != 0 || !IsEffectivelyEnabled()) {
        return false;
    }
    Open();
    return true;
}

bool ComboBox::OnKeyDown(const KeyEvent& event) {
    if (!IsEffectivelyEnabled()) {
        return false;
    }
    const auto last = static_cast<std::int32_t>(items.size()) - 1;
    switch (event.virtualKey) {
        case VK_RETURN:
        case VK_SPACE:
        case VK_F4:
            Open();
            return true;
        case VK_DOWN:
            CloseList();
            if (last >= 0) {
                ChangeTo(std::min(selected + 1, last));
            }
            return true;
        case VK_UP:
            CloseList();
            if (last >= 0) {
                ChangeTo(std::max(selected - 1, 0));
            }
            return true;
        default:
            return false;
    }
}

void ComboBox::OnMouseEnter() {
    hover.AnimateTo(*this, 1);
}

void ComboBox::OnMouseLeave() {
    hover.AnimateTo(*this, 0);
}

bool ComboBox::OnAnimationTick(double nowMs) {
    const bool running = hover.Tick(nowMs);
    Invalidate();
    return running;
}

}  // namespace purvex::ui
