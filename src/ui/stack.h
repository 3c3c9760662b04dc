#pragma once

#include <cstdint>
#include <unordered_map>

#include "ui/widget.h"

namespace purvex::ui {

struct Insets {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
};

enum Align : std::uint8_t { kAlignStart = 0, kAlignCenter = 1, kAlignEnd = 2, kAlignStretch = 3 };
enum Sizing : std::uint8_t { kSizeAuto = 0, kSizeFixed = 1, kSizeFill = 2 };

// How one child of a stack is sized along the main axis and placed across it.
struct StackItem {
    std::uint8_t sizing = kSizeAuto;
    float value = 0;  // DIPs when fixed, weight when filling
    bool hasAlign = false;
    std::uint8_t align = kAlignStart;
};

// Lays its visible children out in a row or a column: fixed and measured children first, then
// the free space shared among the filling ones.
class Stack : public Widget {
public:
    explicit Stack(std::uint8_t orientation);

    Size Measure(float availableWidth) override;
    void Arrange() override;

    void SetItem(const Widget* child, StackItem item);
    [[nodiscard]] StackItem GetItem(const Widget* child) const;
    void SetSpacing(float value);
    void SetPadding(Insets value);
    void SetCrossAlign(std::uint8_t value);
    void SetMainAlign(std::uint8_t value);
    void SetWrap(bool value);
    void SetLineSpacing(float value);

    std::uint8_t orientation;  // 0 vertical, 1 horizontal
    bool wrap = false;
    float lineSpacing = 8;
    float spacing = 0;
    Insets padding;
    std::uint8_t crossAlign;
    std::uint8_t mainAlign = kAlignStart;
    std::unordered_map<const Widget*, StackItem> items;

private:
    [[nodiscard]] bool Horizontal() const noexcept { return orientation == 1; }
    Size MeasureWrapped(float availableWidth);
    void ArrangeWrapped();
};

class VStack : public Stack {
public:
    VStack() : Stack(0) {}
};

class HStack : public Stack {
public:
    HStack() : Stack(1) {}
};

// Takes space without being seen or hit; with fill sizing it pushes its neighbours apart.
class Spacer : public Widget {
public:
    explicit Spacer(float w = 0, float h = 0) : width(w), height(h) {}
    Size Measure(float) override { return {width, height}; }
    Widget* HitTest(Point) override { return nullptr; }

    float width;
    float height;
};

}  // namespace purvex::ui
