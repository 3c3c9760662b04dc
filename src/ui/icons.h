#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/path_data.h"

namespace purvex::ui {

// Vector icons on a 24 × 24 design grid.
enum class IconId : std::uint16_t {
    None = 0,
    Home = 1,
    Broom,
    Chat,
    LargeFile,
    Slimming,
    Settings,
    Minus,
    CheckBoxFrame,
    Copy,
    Close,
    CheckMark,
    Dash,
    ChevronRight,
    ChevronDown,
    ChevronUp,
    ChevronLeft,
    Folder,
    FolderOpen,
    Search,
    Refresh,
    Play,
    Stop,
    Delete,
    Restore,
    Drive,
    Clock,
    Information,
    Warning,
    Dismiss,
    SuccessCheck,
    Shield,
    Lock,
    OpenExternal,
    More,
    Sort,
    Filter,
    Globe,
    Palette,
    Document,
    Image,
    Video,
    Archive,
    Package,
    File,
    Database,
    Layers,
};

inline constexpr std::uint16_t kIconCount = 46;

struct IconPart {
    std::string data;
    bool filled = false;
};

struct IconDefinition {
    float strokeWidth = 1.6f;
    std::vector<IconPart> parts;
};

// The definition of an icon; an empty one for ids outside 1..46.
const IconDefinition& GetIconDefinition(IconId id);

}  // namespace purvex::ui
