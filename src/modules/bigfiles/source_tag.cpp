#include "modules/bigfiles/source_tag.h"

#include <array>

namespace purvex::bigfiles {

std::string_view SourceTagKey(SourceTag tag) {
    static constexpr std::array<std::string_view, kSourceTagCount> kKeys = {
        "bigfiles.tag.other",       "bigfiles.tag.downloads", "bigfiles.tag.desktop",
        "bigfiles.tag.documents",   "bigfiles.tag.videos",    "bigfiles.tag.disk_image",
        "bigfiles.tag.archive",     "bigfiles.tag.installer", "bigfiles.tag.virtual_disk",
        "bigfiles.tag.emulator",    "bigfiles.tag.game",      "bigfiles.tag.dev_cache",
        "bigfiles.tag.application", "bigfiles.tag.system",
    };
    const auto index = static_cast<std::size_t>(tag);
    return index < kKeys.size() ? kKeys[index] : kKeys[0];
}

}  // namespace purvex::bigfiles
