#include "ui/gallery_root.h"

#include <algorithm>
#include <cmath>

#include "app/languages.h"
#include "app/localization.h"
#include "ui/badge.h"
#include "ui/button.h"
#include "ui/card.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/icon_button.h"
#include "ui/info_bar.h"
#include "ui/label.h"
#include "ui/progress_bar.h"
#include "ui/progress_ring.h"
#include "ui/render_context.h"
#include "ui/scroll_view.h"
#include "ui/segmented.h"
#include "ui/theme.h"
#include "ui/toggle.h"
#include "ui/usage_bar.h"

namespace purvex::ui {
namespace {

// Every icon at one size in a grid of 34-DIP cells.
class IconGrid : public Widget {
public:
    explicit IconGrid(float iconSize) : size_(iconSize) {}

    Size Measure(float availableWidth) override {
        const float width = availableWidth < kUnbounded ? availableWidth : 34 * 23;
        const int columns = std::max(1, static_cast<int>(std::floor(width / 34)));
        const int rows = (kIconCount + columns - 1) / columns;
        return {width, static_cast<float>(rows) * 34 + 8};
    }

    void Paint(RenderContext& context) override {
        const int columns = std::max(1, static_cast<int>(std::floor(bounds.width / 34)));
        for (int id = 1; id <= kIconCount; ++id) {
            const int cell = id - 1;
            const float x = bounds.x + static_cast<float>(cell % columns) * 34;
            const float y = bounds.y + static_cast<float>(cell / columns) * 34;
            context.DrawIcon(static_cast<IconId>(id),
                             {x + (34 - size_) / 2, y + (34 - size_) / 2, size_, size_},
                             RoleColor(cell % 9 == 0 ? 19 : 14));
        }
    }

private:
    float size_;
};

HStack& Row(Stack& parent, bool wrapping = true) {
    auto& row = parent.Add<HStack>();
    row.spacing = 8;
    row.wrap = wrapping;
    row.lineSpacing = 8;
    return row;
}

ThemeMode ModeOfSegment(std::int32_t index) {
    return index == 1 ? ThemeMode::Light : (index == 2 ? ThemeMode::Dark : ThemeMode::System);
}

}  // namespace

GalleryRoot::GalleryRoot(std::function<void(const std::wstring&)> onLanguage)
    : onLanguage_(std::move(onLanguage)) {
    auto& header = Add<HStack>();
    header.padding = {24, 12, 24, 12};
    header.spacing = 12;
    auto& title = header.Add<Label>(Key("ui.gallery.title"), kTitle);
    header.SetItem(&title, {kSizeFill, 1});
    header.Add<Label>(Key("ui.gallery.theme"), kBody, 15);
    const ThemeMode mode = Theme::Get().Mode();
    auto& theme = header.Add<Segmented>(
        std::vector<TextPair>{Key("ui.theme.system"), Key("ui.theme.light"), Key("ui.theme.dark")},
        mode == ThemeMode::Light ? 1 : (mode == ThemeMode::Dark ? 2 : 0));
    theme.onChange = [](std::int32_t index) { Theme::Get().SetMode(ModeOfSegment(index)); };
    header.Add<Label>(Key("ui.gallery.language"), kBody, 15);
    std::vector<TextPair> languages;
    std::int32_t current = 0;
    const auto supported = app::SupportedLanguages();
    for (std::size_t i = 0; i < supported.size(); ++i) {
        languages.push_back(Literal(supported[i].displayName));
        if (supported[i].code == app::CurrentLanguage()) {
            current = static_cast<std::int32_t>(i);
        }
    }
    auto& language = header.Add<ComboBox>(std::move(languages), current);
    language.minWidth = 180;
    language.onChange = [this](std::int32_t index) {
        const auto list = app::SupportedLanguages();
        if (index >= 0 && static_cast<std::size_t>(index) < list.size() && onLanguage_) {
            onLanguage_(std::wstring(list[static_cast<std::size_t>(index)].code));
        }
    };

    auto& scroll = Add<ScrollView>();
    SetItem(&scroll, {kSizeFill, 1});
    content_ = &scroll.SetContent<VStack>();
    content_->padding = {24, 24, 24, 24};
    content_->spacing = 16;
    auto& columns = content_->Add<HStack>();
    columns.spacing = 16;
    columns.crossAlign = kAlignStart;
    left_ = &columns.Add<VStack>();
    left_->spacing = 16;
    right_ = &columns.Add<VStack>();
    right_->spacing = 16;
    columns.SetItem(left_, {kSizeFill, 1});
    columns.SetItem(right_, {kSizeFill, 1});

    BuildButtons();
    BuildSelection();
    BuildText();
    BuildProgress();
    BuildStatus();
    BuildCards();
    BuildIcons();
}

Card& GalleryRoot::SectionCard(Stack& column, const char* titleKey) {
    auto& card = column.Add<Card>();
    card.spacing = 12;
    card.Add<Label>(Key(titleKey), kSubtitle);
    return card;
}

Card& GalleryRoot::BuildButtons() {
    Card& card = SectionCard(*left_, "ui.gallery.section.buttons");
    auto& variants = Row(card);
    variants.Add<Button>(Key("ui.gallery.primary"), ButtonVariant::Accent);
    variants.Add<Button>(Key("ui.gallery.secondary"), ButtonVariant::Standard);
    variants.Add<Button>(Key("ui.gallery.subtle"), ButtonVariant::Subtle);
    variants.Add<Button>(Key("ui.gallery.danger"), ButtonVariant::Danger);
    auto& withIcons = Row(card);
    withIcons.Add<Button>(Key("ui.gallery.scan"), ButtonVariant::Accent, IconId::Search);
    withIcons.Add<Button>(Key("ui.gallery.open_folder"), ButtonVariant::Standard,
                          IconId::FolderOpen);
    withIcons.Add<Button>(Key("ui.gallery.delete"), ButtonVariant::Danger, IconId::Delete);
    auto& disabled = Row(card);
    for (ButtonVariant v :
         {ButtonVariant::Accent, ButtonVariant::Standard, ButtonVariant::Danger}) {
        disabled.Add<Button>(Key("ui.gallery.disabled"), v).enabled = false;
    }
    auto& large = disabled.Add<Button>(Key("ui.gallery.scan"), ButtonVariant::Accent, IconId::Play);
    large.large = true;
    auto& icons = Row(card);
    for (IconId id : {IconId::Refresh, IconId::More, IconId::Delete, IconId::Filter}) {
        icons.Add<IconButton>(id, Literal(L""), 32.0f).selected = id == IconId::Filter;
    }
    icons.Add<IconButton>(IconId::Settings, Literal(L""), 32.0f).enabled = false;
    return card;
}

Card& GalleryRoot::BuildSelection() {
    Card& card = SectionCard(*right_, "ui.gallery.section.selection");
    card.spacing = 4;
    card.Add<CheckBox>(Key("ui.gallery.check.checked"), CheckState::Checked);
    card.Add<CheckBox>(Key("ui.gallery.check.unchecked"), CheckState::Unchecked);
    card.Add<CheckBox>(Key("ui.gallery.check.indeterminate"), CheckState::Indeterminate);
    auto& disabledRow = Row(card);
    disabledRow.spacing = 16;
    disabledRow.Add<CheckBox>(Key("ui.gallery.disabled"), CheckState::Checked).enabled = false;
    disabledRow.Add<CheckBox>(Key("ui.gallery.disabled"), CheckState::Unchecked).enabled = false;
    auto& bare = Row(card);
    bare.spacing = 12;
    for (CheckState s : {CheckState::Unchecked, CheckState::Checked, CheckState::Indeterminate}) {
        bare.Add<CheckBox>(TextPair{}, s);
    }
    auto& toggles = Row(card);
    toggles.spacing = 16;
    toggles.Add<Toggle>(Key("ui.gallery.toggle.on"), true);
    toggles.Add<Toggle>(Key("ui.gallery.toggle.off"), false);
    auto& choices = Row(card);
    choices.spacing = 12;
    choices.Add<Segmented>(
        std::vector<TextPair>{Key("ui.gallery.segment.quick"), Key("ui.gallery.segment.deep")}, 0);
    choices.Add<ComboBox>(
        std::vector<TextPair>{Key("ui.gallery.combo.all"), Key("ui.gallery.combo.days30"),
                              Key("ui.gallery.combo.days90"), Key("ui.gallery.combo.days180"),
                              Key("ui.gallery.combo.days365")},
        -1, Key("ui.gallery.combo.placeholder"));
    return card;
}

Card& GalleryRoot::BuildText() {
    Card& card = SectionCard(*left_, "ui.gallery.section.text");
    card.spacing = 6;
    card.Add<Label>(Key("ui.gallery.text.display"), kDisplay);
    card.Add<Label>(Key("ui.gallery.text.title"), kTitle);
    card.Add<Label>(Key("ui.gallery.text.subtitle"), kSubtitle);
    card.Add<Label>(Key("ui.gallery.text.strong"), kBodyStrong);
    card.Add<Label>(Key("ui.gallery.text.body"), kBody);
    card.Add<Label>(Key("ui.gallery.text.secondary"), kBody, 15);
    card.Add<Label>(Key("ui.gallery.text.caption"), kCaption, 16);
    auto& paragraph = card.Add<Label>(Key("ui.gallery.text.paragraph"), kBody);
    paragraph.style.wrap = true;
    auto& path = card.Add<Label>(
        Literal(L"C:\\Users\\Demo\\AppData\\Local\\Packages\\Microsoft.Example_8wekyb3d8bbwe\\"
                L"LocalCache\\Roaming\\Cache\\data_000123.bin"),
        kBody, 15);
    card.SetItem(&path, {kSizeAuto, 0, true, kAlignStretch});
    std::wstring names;
    for (const app::LanguageInfo& language : app::SupportedLanguages()) {
        names += names.empty() ? L"" : L" \u00b7 ";
        names += language.displayName;
    }
    auto& languages = card.Add<Label>(Literal(names), kBody);
    languages.style.wrap = true;
    return card;
}

Card& GalleryRoot::BuildProgress() {
    Card& card = SectionCard(*right_, "ui.gallery.section.progress");
    card.spacing = 14;
    card.Add<ProgressBar>().SetValue(0.35f);
    card.Add<ProgressBar>().indeterminate = true;
    auto& warning = card.Add<ProgressBar>();
    warning.SetValue(0.6f);
    warning.tone = ProgressTone::Warning;
    auto& error = card.Add<ProgressBar>();
    error.SetValue(0.8f);
    error.tone = ProgressTone::Error;
    auto& rings = Row(card, false);
    rings.spacing = 16;
    rings.Add<ProgressRing>(32.0f).SetValue(0.7f);
    rings.Add<ProgressRing>(32.0f).indeterminate = true;
    auto& scan = rings.Add<ProgressRing>(140.0f);
    scan.filled = true;
    scan.primaryText = Key("ui.gallery.ring.scan");
    scan.onClick = [&scan] {
        scan.filled = false;
        scan.indeterminate = true;
        scan.onClick = nullptr;
        scan.SetPrimaryText(Key("ui.gallery.ring.scanning"));
        scan.SetSecondaryText(Literal(L"6.00 GB"));
    };
    auto& found = rings.Add<ProgressRing>(140.0f);
    found.SetValue(0.62f);
    found.primaryText = Literal(L"62%");
    found.secondaryText = Key("ui.gallery.ring.found");
    auto& usage = card.Add<UsageBar>();
    usage.showLegend = true;
    usage.SetUsage(256ull << 30, 180ull << 30, 9500ull << 20);
    return card;
}

Card& GalleryRoot::BuildStatus() {
    Card& card = SectionCard(*left_, "ui.gallery.section.status");
    auto& badges = Row(card);
    for (int r = 0; r <= 4; ++r) {
        badges.Add<Badge>(static_cast<core::Risk>(r));
    }
    card.Add<InfoBar>(InfoBarKind::Information, Key("ui.gallery.info.title"),
                      Key("ui.gallery.info.message"));
    card.Add<InfoBar>(InfoBarKind::Success, Key("ui.gallery.success.title"), TextPair{});
    auto& warning = card.Add<InfoBar>(InfoBarKind::Warning, Key("ui.gallery.warning.title"),
                                      Key("ui.gallery.warning.message"));
    warning.SetAction(Key("ui.gallery.retry"), [] {});
    warning.SetClosable();
    card.Add<InfoBar>(InfoBarKind::Error, Key("ui.gallery.error.title"),
                      Key("ui.gallery.error.message"));
    return card;
}

Card& GalleryRoot::BuildCards() {
    Card& card = SectionCard(*right_, "ui.gallery.section.cards");
    auto& row = Row(card, false);
    row.spacing = 12;
    row.crossAlign = kAlignStretch;
    auto& clickable = row.Add<Card>();
    auto& clickableTitle = clickable.Add<Label>(Key("ui.gallery.card.clickable"), kBodyStrong);
    auto& clickableText = clickable.Add<Label>(Key("ui.gallery.card.desc"), kCaption, 15);
    clickableText.style.wrap = true;
    clickable.onClick = [&clickableTitle] {
        clickableTitle.SetText(Key("ui.gallery.card.clicked"));
    };
    auto& chosen = row.Add<Card>();
    chosen.selected = true;
    chosen.Add<Label>(Key("ui.gallery.card.selected"), kBodyStrong);
    auto& sized = row.Add<Card>();
    sized.Add<Label>(Literal(L"12.4 GB"), kTitle);
    for (Widget* w : {static_cast<Widget*>(&clickable), static_cast<Widget*>(&chosen),
                      static_cast<Widget*>(&sized)}) {
        row.SetItem(w, {kSizeFill, 1});
    }
    return card;
}

Card& GalleryRoot::BuildIcons() {
    Card& card = SectionCard(*content_, "ui.gallery.section.icons");
    for (float size : {16.0f, 20.0f, 24.0f}) {
        card.Add<IconGrid>(size);
    }
    return card;
}

}  // namespace purvex::ui
