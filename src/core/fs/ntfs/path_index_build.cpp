// The platform half of PathIndex::Build: checking and opening the volume and asking it for
// its geometry. Everything after that works on bytes and lives in path_index_impl.cpp.
#include <windows.h>

#include <winioctl.h>

#include <cstring>
#include <new>

#include "core/fs/ntfs/path_index.h"
#include "core/fs/ntfs/path_index_impl.h"
#include "core/fs/ntfs/volume.h"
#include "core/fs/volume_facts.h"

namespace purvex::core {
namespace {

// A volume that refuses the request as unsupported is not NTFS, whichever of these errors
// its driver chooses to say so.
MftStatus StatusOfVolumeDataError(DWORD error) {
    switch (error) {
        case ERROR_INVALID_FUNCTION:
        case ERROR_INVALID_PARAMETER:
        case ERROR_NOT_SUPPORTED:
            return MftStatus::NotNtfs;
        case ERROR_ACCESS_DENIED:
            return MftStatus::NoAccess;
        default:
            return MftStatus::IoError;
    }
}

MftStatus QueryGeometry(HANDLE volume, ntfs::VolumeGeometry& g) {
    // Room for the extended data that newer systems append to the basic structure.
    alignas(8) unsigned char buffer[128] = {};
    static_assert(sizeof(NTFS_VOLUME_DATA_BUFFER) <= sizeof(buffer));
    DWORD returned = 0;
    if (!DeviceIoControl(volume, FSCTL_GET_NTFS_VOLUME_DATA, nullptr, 0, buffer, sizeof(buffer),
                         &returned, nullptr)) {
        const DWORD error = GetLastError();
        if (error != ERROR_MORE_DATA) {
            return StatusOfVolumeDataError(error);
        }
    }
    NTFS_VOLUME_DATA_BUFFER data;
    std::memcpy(&data, buffer, sizeof(data));
    g.bytesPerRecord = data.BytesPerFileRecordSegment;
    g.bytesPerCluster = data.BytesPerCluster;
    g.bytesPerSector = data.BytesPerSector;
    g.mftStartLcn = static_cast<std::uint64_t>(data.MftStartLcn.QuadPart);
    g.mftValidDataLength = static_cast<std::uint64_t>(data.MftValidDataLength.QuadPart);
    g.totalClusters = static_cast<std::uint64_t>(data.TotalClusters.QuadPart);
    return ntfs::IsPlausibleGeometry(g) ? MftStatus::Ok : MftStatus::BadFormat;
}

std::unique_ptr<PathIndex> BuildOnVolume(wchar_t drive, CancelToken& cancel,
                                         const ProgressCallback& progress, MftStatus& status) {
    if (drive >= L'a' && drive <= L'z') {
        drive = static_cast<wchar_t>(drive - L'a' + L'A');
    }
    if (drive < L'A' || drive > L'Z') {
        status = MftStatus::NotNtfs;
        return nullptr;
    }
    if (cancel.IsCancelled()) {
        status = MftStatus::Cancelled;
        return nullptr;
    }
    if (!IsNtfsDrive(drive)) {
        status = MftStatus::NotNtfs;
        return nullptr;
    }
    DWORD error = 0;
    UniqueFile handle = ntfs::Volume::Open(std::wstring(L"\\\\.\\") + drive + L':', error);
    if (!handle) {
        status = error == ERROR_ACCESS_DENIED || error == ERROR_PRIVILEGE_NOT_HELD
                     ? MftStatus::NoAccess
                     : MftStatus::IoError;
        return nullptr;
    }
    ntfs::VolumeGeometry geometry;
    status = QueryGeometry(handle.Get(), geometry);
    if (status != MftStatus::Ok) {
        return nullptr;
    }
    ntfs::Volume volume(std::move(handle));
    return ntfs::BuildPathIndex(volume, geometry, drive, cancel, progress, &status);
}

}  // namespace

std::unique_ptr<PathIndex> PathIndex::Build(wchar_t drive, CancelToken& cancel,
                                            const ProgressCallback& progress, MftStatus* status) {
    MftStatus result = MftStatus::BadFormat;
    std::unique_ptr<PathIndex> index;
    try {
        index = BuildOnVolume(drive, cancel, progress, result);
    } catch (const std::bad_alloc&) {
        result = MftStatus::IoError;
    } catch (...) {
        result = MftStatus::BadFormat;
    }
    if (result != MftStatus::Ok) {
        index.reset();
    }
    if (status != nullptr) {
        *status = result;
    }
    return index;
}

}  // namespace purvex::core
