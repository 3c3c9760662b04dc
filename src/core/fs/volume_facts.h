#pragma once

namespace purvex::core {

// True when the drive's root folder reports the NTFS file system. No error pop-up appears for
// an empty removable drive; anything unreadable is simply not NTFS.
bool IsNtfsDrive(wchar_t drive);

}  // namespace purvex::core
