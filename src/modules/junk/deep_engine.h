#pragma once

#include <string_view>

#include "modules/junk/deep_scan_types.h"

namespace purvex::junk {

// The letter of the drive a deep scan searches, from the "SystemDrive" value ("C:"); 'C'
// when the value is not a drive.
wchar_t DeepScanDrive(std::wstring_view systemDrive);

// Reads the file table only when it can: with administrator rights, on NTFS, and unless the
// user forced walking. Otherwise walks and records why.
void ChooseDeepEngine(bool elevated, bool ntfs, bool forceWalk, DeepScanOptions& options);

}  // namespace purvex::junk
