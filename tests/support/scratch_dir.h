#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace purvex::test {

// A fresh folder under C:\purvex-tests for one test, removed again when the test ends.
// Removal never enters or deletes a reparse point: under Wine a deletion through a Linux
// symlink acts on its target, so links are left for the test script to remove from Linux.
class ScratchDir {
public:
    ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir();

    [[nodiscard]] const std::wstring& Path() const noexcept { return path_; }
    // Path of a child, given relative to the scratch folder.
    [[nodiscard]] std::wstring Sub(std::wstring_view relative) const;

    // Creates the folder with its parents; returns its full path.
    std::wstring MakeDir(std::wstring_view relative) const;
    // Creates (or overwrites) a file with the given bytes; returns its full path.
    std::wstring MakeFile(std::wstring_view relative, std::string_view content = {}) const;
    std::wstring MakeFileOfSize(std::wstring_view relative, std::uint64_t size) const;

private:
    std::wstring path_;
};

// Removes a folder tree without following reparse points. Exposed for the few tests that
// need a cleanup of their own.
void RemoveTreeNoFollow(const std::wstring& path);

}  // namespace purvex::test
