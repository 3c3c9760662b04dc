#include "core/safety/ownership.h"

#include <aclapi.h>
#include <sddl.h>

#include <string>

#include "core/log.h"

namespace purvex::core::safety_detail {
namespace {

thread_local OwnershipStep t_lastStep;

bool Fail(const char* step, DWORD error) {
    SetLastOwnershipStep(step, error);
    return false;
}

struct AclDeleter {
    PACL acl = nullptr;
    AclDeleter() = default;
    AclDeleter(const AclDeleter&) = delete;
    AclDeleter& operator=(const AclDeleter&) = delete;
    ~AclDeleter() {
        if (acl != nullptr) {
            LocalFree(acl);
        }
    }
};

}  // namespace

OwnershipStep LastOwnershipStep() {
    return t_lastStep;
}

void SetLastOwnershipStep(const char* name, std::uint32_t error) {
    t_lastStep = {name, error};
}

bool TakeOwnership(const std::wstring& path, const FileIdentity& identity, SavedSecurity& saved,
                   std::uint32_t& error) {
    t_lastStep = {};
    DWORD openError = 0;
    UniqueFile reader =
        OpenSameItem(path, identity, READ_CONTROL | FILE_READ_ATTRIBUTES, openError);
    if (!reader) {
        error = openError;
        return Fail("open-read-control", openError);
    }

    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    DWORD status = GetSecurityInfo(reader.Get(), SE_FILE_OBJECT,
                                   OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                                   nullptr, &dacl, nullptr, &descriptor);
    if (status == ERROR_SUCCESS && descriptor == nullptr) {
        status = ERROR_INVALID_SECURITY_DESCR;
    }
    if (status != ERROR_SUCCESS) {
        error = status;
        return Fail("read-security", status);
    }
    saved.descriptor.Reset(descriptor);
    saved.owner = owner;
    saved.dacl = dacl;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    saved.daclProtected = GetSecurityDescriptorControl(descriptor, &control, &revision) &&
                          (control & SE_DACL_PROTECTED) != 0;

    bool canWriteDac = true;
    UniqueFile writer = OpenSameItem(
        path, identity, WRITE_OWNER | WRITE_DAC | READ_CONTROL | FILE_READ_ATTRIBUTES, openError);
    if (!writer) {
        canWriteDac = false;
        writer = OpenSameItem(path, identity, WRITE_OWNER | READ_CONTROL | FILE_READ_ATTRIBUTES,
                              openError);
        if (!writer) {
            error = openError;
            return Fail("open-write-owner", openError);
        }
    }

    BYTE sidBuffer[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(sidBuffer);
    PSID admins = sidBuffer;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &sidSize)) {
        error = GetLastError();
        return Fail("admins-sid", error);
    }

    status = SetSecurityInfo(writer.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, admins,
                             nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) {
        error = status;
        return Fail("set-owner", status);
    }

    if (!canWriteDac) {
        // Now that Administrators own the item, they may rewrite its access list.
        writer = OpenSameItem(path, identity, WRITE_DAC | READ_CONTROL | FILE_READ_ATTRIBUTES,
                              openError);
        if (!writer) {
            error = openError;
            return Fail("open-write-dac", openError);
        }
    }

    EXPLICIT_ACCESSW access{};
    access.grfAccessPermissions = 0x1F01FF;  // FILE_ALL_ACCESS
    access.grfAccessMode = SET_ACCESS;
    access.grfInheritance = NO_INHERITANCE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_GROUP;
    access.Trustee.ptstrName = static_cast<LPWSTR>(admins);
    AclDeleter newAcl;
    status = SetEntriesInAclW(1, &access, nullptr, &newAcl.acl);
    if (status != ERROR_SUCCESS) {
        error = status;
        return Fail("build-acl", status);
    }
    status = SetSecurityInfo(writer.Get(), SE_FILE_OBJECT,
                             DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                             nullptr, nullptr, newAcl.acl, nullptr);
    if (status != ERROR_SUCCESS) {
        error = status;
        return Fail("set-dacl", status);
    }
    error = 0;
    return true;
}

void RestoreOwnership(const std::wstring& path, const FileIdentity& identity,
                      SavedSecurity& saved) {
    DWORD error = 0;
    UniqueFile file = OpenSameItem(
        path, identity, WRITE_OWNER | WRITE_DAC | READ_CONTROL | FILE_READ_ATTRIBUTES, error);
    if (file) {
        const SECURITY_INFORMATION what =
            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
            (saved.daclProtected ? PROTECTED_DACL_SECURITY_INFORMATION
                                 : UNPROTECTED_DACL_SECURITY_INFORMATION);
        error = SetSecurityInfo(file.Get(), SE_FILE_OBJECT, what, saved.owner, nullptr, saved.dacl,
                                nullptr);
    }
    if (error != ERROR_SUCCESS) {
        LogWrite(LogLevel::Warn, L"safety: could not restore the original owner/ACL of " + path +
                                     L" (error " + std::to_wstring(error) + L")");
    }
    saved.owner = nullptr;
    saved.dacl = nullptr;
    saved.descriptor.Reset();
}

bool EnablePrivilege(const wchar_t* name) {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
        return false;
    }
    UniqueHandle token(raw);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid)) {
        return false;
    }
    SetLastError(ERROR_SUCCESS);
    if (!AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr)) {
        return false;
    }
    // ERROR_NOT_ALL_ASSIGNED arrives with a successful call.
    return GetLastError() == ERROR_SUCCESS;
}

bool EnablePrivileges() {
    bool all = true;
    for (const wchar_t* name : {L"SeBackupPrivilege", L"SeRestorePrivilege",
                                L"SeTakeOwnershipPrivilege", L"SeSecurityPrivilege"}) {
        all = EnablePrivilege(name) && all;
    }
    return all;
}

}  // namespace purvex::core::safety_detail

namespace purvex::core {

bool IsElevated() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        return false;
    }
    UniqueHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size) &&
           elevation.TokenIsElevated != 0;
}

}  // namespace purvex::core
