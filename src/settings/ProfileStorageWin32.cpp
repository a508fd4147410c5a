// Profile files on Windows: CreateFileW and MoveFileExW, which replaces the
// old file in one step and returns only once the move is on the disk.
#include "settings/ProfileStorage.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

namespace ProfileStorage {

namespace {

std::wstring Wide(const std::string& text) {
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          size);
    return wide;
}

bool WriteAll(HANDLE file, const std::string& data) {
    DWORD written = 0;
    return ::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
           written == data.size() && ::FlushFileBuffers(file);
}

bool Missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// An existing file rewritten where it stands, for a folder that takes no new
// file: not crash-safe, the one way to save there.
bool RewriteInPlace(const std::wstring& path, const std::string& contents) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = WriteAll(file, contents);
    return ::CloseHandle(file) && ok;
}

// False when path exists and may not be written: a read-only file (whose
// replacing MoveFileExW would refuse only on some systems) stays as it is.
bool MayWrite(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Missing(::GetLastError());
    if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return false;
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

} // namespace

LoadResult Load(const std::string& path, std::string& contents) {
    contents.clear();
    const HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Missing(::GetLastError()) ? LoadResult::Missing : LoadResult::Failed;
    char buffer[8192];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ::ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0)
        contents.append(buffer, got);
    ::CloseHandle(file);
    return ok ? LoadResult::Loaded : LoadResult::Failed;
}

bool Replace(const std::string& path, const std::string& contents) {
    const std::wstring target = Wide(path);
    if (!MayWrite(target))
        return false;
    static std::atomic<unsigned> counter{0};
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%06x",
                  static_cast<unsigned>((counter++ ^ ::GetTickCount()) & 0xFFFFFFu));
    const std::wstring temp = Wide(TempPrefix(path) + std::to_string(CurrentWriter()) + suffix);
    const HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_ACCESS_DENIED && RewriteInPlace(target, contents);
    bool ok = WriteAll(file, contents);
    ok = ::CloseHandle(file) && ok;
    if (ok && ::MoveFileExW(temp.c_str(), target.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        RemoveAbandonedTemps(path);
        return true;
    }
    ::DeleteFileW(temp.c_str());
    return false;
}

long CurrentWriter() {
    return static_cast<long>(::GetCurrentProcessId());
}

bool WriterHasEnded(long id) {
    const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
    if (process == nullptr)
        return ::GetLastError() == ERROR_INVALID_PARAMETER; // no such process
    const bool ended = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return ended;
}

} // namespace ProfileStorage
