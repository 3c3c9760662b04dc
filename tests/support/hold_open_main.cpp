// Holds a file open without delete sharing until told to let go, so that tests can show how
// the program treats a file that another process is using.
//   purvex_hold_open.exe PATH EVENT_PREFIX
// Signals EVENT_PREFIX.ready once the file is open and waits (at most 2 minutes) for
// EVENT_PREFIX.release.
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        return 2;
    }
    const std::wstring prefix = argv[2];
    HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 3;
    }
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, (prefix + L".ready").c_str());
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, (prefix + L".release").c_str());
    SetEvent(ready);
    WaitForSingleObject(release, 120000);
    CloseHandle(file);
    CloseHandle(release);
    CloseHandle(ready);
    return 0;
}
