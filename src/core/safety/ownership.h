#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/safety/file_identity.h"
#include "core/unique_handle.h"

namespace purvex::core::safety_detail {

// The owner and access list an item had before ownership was taken, kept to put them back
// when taking ownership did not make the item deletable.
struct SavedSecurity {
    UniqueLocal descriptor;  // owns the memory that owner and dacl point into
    PSID owner = nullptr;
    PACL dacl = nullptr;
    bool daclProtected = false;
};

// The last step a thread's ownership attempt reached, for the deleter's warning line.
struct OwnershipStep {
    const char* name = nullptr;  // null: none recorded
    std::uint32_t error = 0;
};
OwnershipStep LastOwnershipStep();
void SetLastOwnershipStep(const char* name, std::uint32_t error);

// Makes the Administrators group owner of the item and gives it full access. False, with the
// failing step recorded, when any step fails; saved holds what to restore once it was read.
bool TakeOwnership(const std::wstring& path, const FileIdentity& identity, SavedSecurity& saved,
                   std::uint32_t& error);
// Puts the saved owner and access list back; a failure is only logged.
void RestoreOwnership(const std::wstring& path, const FileIdentity& identity, SavedSecurity& saved);

bool EnablePrivilege(const wchar_t* name);
// Backup, restore, take-ownership and security: true only when all four are enabled.
bool EnablePrivileges();

}  // namespace purvex::core::safety_detail

namespace purvex::core {

// Whether the process runs with administrator rights.
bool IsElevated();

}  // namespace purvex::core
