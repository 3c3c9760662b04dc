#include "ui/stack.h"

#include <algorithm>
#include <vector>

namespace purvex::ui {
namespace {

bool Unbounded(float w) {
    return !(w < kUnbounded);
}

}  // namespace

Stack::Stack(std::uint8_t o) : orientation(o), crossAlign(o == 1 ? kAlignCenter : kAlignStretch) {}

void Stack::SetItem(const Widget* child, StackItem item) {
    items[child] = item;
    RequestLayout();
}

StackItem Stack::GetItem(const Widget* child) const {
    auto it = items.find(child);
    return it != items.end() ? it->second : StackItem{};
}

void Stack::SetSpacing(float value) {
    spacing = value;
    RequestLayout();
}
void Stack::SetPadding(Insets value) {
    padding = value;
    RequestLayout();
}
void Stack::SetCrossAlign(std::uint8_t value) {
    crossAlign = value;
    RequestLayout();
}
void Stack::SetMainAlign(std::uint8_t value) {
    mainAlign = value;
    RequestLayout();
}
void Stack::SetWrap(bool value) {
    wrap = value;
    RequestLayout();
}
void Stack::SetLineSpacing(float value) {
    lineSpacing = value;
    RequestLayout();
}

Size Stack::Measure(float availableWidth) {
    if (wrap && Horizontal()) {
        return MeasureWrapped(availableWidth);
    }
    const bool unbounded = Unbounded(availableWidth);
    const float inner =
        unbounded ? kUnbounded : std::max(0.0f, availableWidth - padding.left - padding.right);
    float main = 0;
    float cross = 0;
    float totalWeight = 0;
    int count = 0;
    std::vector<std::pair<Widget*, float>> fills;
    for (auto& owned : children) {
        Widget* child = owned.get();
        if (!child->visible) {
            continue;
        }
        ++count;
        const StackItem item = GetItem(child);
        if (!Horizontal()) {
            const Size s = child->Measure(inner);
            main += item.sizing == kSizeFixed ? item.value : s.height;
            cross = std::max(cross, s.width);
        } else if (item.sizing == kSizeFixed) {
            main += item.value;
            cross = std::max(cross, child->Measure(item.value).height);
        } else if (item.sizing == kSizeFill) {
            totalWeight += std::max(item.value, 0.0f);
            fills.emplace_back(child, std::max(item.value, 0.0f));
        } else {
            const Size s = child->Measure(inner);
            main += std::min(inner, s.width);
            cross = std::max(cross, s.height);
        }
    }
    if (Horizontal() && totalWeight > 0) {
        const float gaps = spacing * static_cast<float>(std::max(0, count - 1));
        const float free = unbounded ? kUnbounded : std::max(0.0f, inner - main - gaps);
        for (auto& [child, weight] : fills) {
            const float share = unbounded ? kUnbounded : weight * free / totalWeight;
            const Size s = child->Measure(share);
            main += std::min(share, s.width);
            cross = std::max(cross, s.height);
        }
    }
    if (count >= 2) {
        main += spacing * static_cast<float>(count - 1);
    }
    if (Horizontal()) {
        return {main + padding.left + padding.right, cross + padding.top + padding.bottom};
    }
    return {cross + padding.left + padding.right, main + padding.top + padding.bottom};
}

void Stack::Arrange() {
    if (wrap && Horizontal()) {
        ArrangeWrapped();
        return;
    }
    const Rect inner{bounds.x + padding.left, bounds.y + padding.top,
                     std::max(0.0f, bounds.width - padding.left - padding.right),
                     std::max(0.0f, bounds.height - padding.top - padding.bottom)};
    const float M = Horizontal() ? inner.width : inner.height;
    const float C = Horizontal() ? inner.height : inner.width;

    struct Slot {
        Widget* child;
        StackItem item;
        float main;
    };
    std::vector<Slot> slots;
    float sum = 0;
    float totalWeight = 0;
    for (auto& owned : children) {
        Widget* child = owned.get();
        if (!child->visible) {
            continue;
        }
        const StackItem item = GetItem(child);
        float main = 0;
        if (item.sizing == kSizeFixed) {
            main = item.value;
        } else if (item.sizing == kSizeFill) {
            totalWeight += std::max(item.value, 0.0f);
        } else if (Horizontal()) {
            // Measured against the row's length, as Measure does: a wrapping child measured
            // against the row's height would come out as a narrow column.
            main = std::min(M, child->Measure(M).width);
        } else {
            main = child->Measure(C).height;
        }
        sum += main;
        slots.push_back({child, item, main});
    }
    const float gaps = spacing * static_cast<float>(std::max<std::size_t>(slots.size(), 1) - 1);
    const float free = std::max(M - sum - gaps, 0.0f);
    float pos = Horizontal() ? inner.x : inner.y;
    if (totalWeight == 0) {
        if (mainAlign == kAlignCenter) {
            pos += free / 2;
        } else if (mainAlign == kAlignEnd) {
            pos += free;
        }
    }
    for (Slot& slot : slots) {
        if (slot.item.sizing == kSizeFill) {
            slot.main = totalWeight > 0 ? std::max(slot.item.value, 0.0f) * free / totalWeight : 0;
        }
        const std::uint8_t align = slot.item.hasAlign ? slot.item.align : crossAlign;
        float crossSize = C;
        float crossPos = 0;
        if (align != kAlignStretch) {
            crossSize =
                Horizontal() ? slot.child->Measure(slot.main).height : slot.child->Measure(C).width;
            crossSize = std::min(crossSize, C);
            if (align == kAlignCenter) {
                crossPos = (C - crossSize) / 2;
            } else if (align == kAlignEnd) {
                crossPos = C - crossSize;
            }
        }
        slot.child->bounds = Horizontal() ? Rect{pos, inner.y + crossPos, slot.main, crossSize}
                                          : Rect{inner.x + crossPos, pos, crossSize, slot.main};
        slot.child->Arrange();
        pos += slot.main + spacing;
    }
}

namespace {

struct WrapLine {
    std::vector<std::pair<Widget*, Size>> items;
    float width = 0;
    float height = 0;
};

std::vector<WrapLine> BreakLines(Stack& stack, float inner) {
    std::vector<WrapLine> lines;
    for (auto& owned : stack.children) {
        Widget* child = owned.get();
        if (!child->visible) {
            continue;
        }
        const StackItem item = stack.GetItem(child);
        Size s = child->Measure(item.sizing == kSizeFixed ? item.value : inner);
        if (item.sizing == kSizeFixed) {
            s.width = item.value;
        }
        s.width = std::min(s.width, inner);
        // A child that does not fit after the others starts a new line; one wider than the
        // whole line gets a line of its own.
        if (lines.empty() ||
            (!lines.back().items.empty() && lines.back().width + stack.spacing + s.width > inner)) {
            lines.emplace_back();
        }
        WrapLine& line = lines.back();
        line.width += (line.items.empty() ? 0 : stack.spacing) + s.width;
        line.height = std::max(line.height, s.height);
        line.items.emplace_back(child, s);
    }
    return lines;
}

}  // namespace

Size Stack::MeasureWrapped(float availableWidth) {
    const float inner = Unbounded(availableWidth)
                            ? kUnbounded
                            : std::max(0.0f, availableWidth - padding.left - padding.right);
    const std::vector<WrapLine> lines = BreakLines(*this, inner);
    float width = 0;
    float height = 0;
    for (const WrapLine& line : lines) {
        width = std::max(width, line.width);
        height += line.height;
    }
    if (lines.size() >= 2) {
        height += lineSpacing * static_cast<float>(lines.size() - 1);
    }
    return {width + padding.left + padding.right, height + padding.top + padding.bottom};
}

void Stack::ArrangeWrapped() {
    const float innerWidth = std::max(0.0f, bounds.width - padding.left - padding.right);
    float y = bounds.y + padding.top;
    for (const WrapLine& line : BreakLines(*this, innerWidth)) {
        float x = bounds.x + padding.left;
        const float free = std::max(0.0f, innerWidth - line.width);
        if (mainAlign == kAlignCenter) {
            x += free / 2;
        } else if (mainAlign == kAlignEnd) {
            x += free;
        }
        for (const auto& [child, size] : line.items) {
            const StackItem item = GetItem(child);
            const std::uint8_t align = item.hasAlign ? item.align : crossAlign;
            float h = std::min(size.height, line.height);
            float dy = 0;
            if (align == kAlignStretch) {
                h = line.height;
            } else if (align == kAlignCenter) {
                dy = (line.height - h) / 2;
            } else if (align == kAlignEnd) {
                dy = line.height - h;
            }
            child->bounds = {x, y + dy, size.width, h};
            child->Arrange();
            x += size.width + spacing;
        }
        y += line.height + lineSpacing;
    }
}

}  // namespace purvex::ui
