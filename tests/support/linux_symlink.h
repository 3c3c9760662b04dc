#pragma once

#include <string>
#include <string_view>

#include "support/scratch_dir.h"

namespace purvex::test {

// A Linux symbolic link inside a scratch folder, made with the host's own ln (Wine cannot
// make Windows links). Wine shows a link to a folder as a folder reparse point. Under Wine a
// deletion through such a link deletes its target, so the target must lie inside the same
// scratch folder: anything else is refused. The link (never its target) is removed again at
// destruction, before the scratch folder goes.
class LinuxSymlink {
public:
    // Both paths are relative to the scratch folder; the target folder must exist.
    LinuxSymlink(const ScratchDir& scratch, std::wstring_view linkRelative,
                 std::wstring_view targetRelative);
    LinuxSymlink(const LinuxSymlink&) = delete;
    LinuxSymlink& operator=(const LinuxSymlink&) = delete;
    ~LinuxSymlink();

    [[nodiscard]] bool Made() const noexcept { return made_; }
    // Why the link could not be made, for a skip message.
    [[nodiscard]] const std::string& Why() const noexcept { return why_; }
    [[nodiscard]] const std::wstring& Path() const noexcept { return link_; }

private:
    std::wstring link_;
    std::string unixLink_;
    bool made_ = false;
    std::string why_;
};

// The Unix path Wine maps a Windows path to; empty when not running under Wine.
std::string UnixPathOf(const std::wstring& windowsPath);

}  // namespace purvex::test
