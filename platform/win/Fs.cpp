#include "platform/Fs.h"
#include "platform/File.h"

#include <filesystem>
#include <optional>
#include <random>

#include "platform/Errors.h"
#include "platform/FaultSeam.h"
#include "platform/Reasons.h"
#include "platform/win/Wide.h"

namespace platform {

namespace {

// What a name leads to, following links as the opens do.
struct Found {
    int error = 0;  // errno of the look-up, 0 when found
    DWORD attributes = 0;
    bool onDisk = false;  // a file or folder of a volume, not a device
    uint32_t volume = 0;
    uint64_t index = 0;
    int64_t size = 0;
    bool isFolder() const { return error == 0 && (attributes & FILE_ATTRIBUTE_DIRECTORY); }
    bool isFile() const { return error == 0 && onDisk && !isFolder(); }
};

Found Look(const std::string& path) {
    Found found;
    HANDLE handle = ::CreateFileW(win::Widen(path).c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        found.error = win::LastErrno();
        return found;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    found.onDisk = ::GetFileType(handle) == FILE_TYPE_DISK;
    if (found.onDisk && ::GetFileInformationByHandle(handle, &info)) {
        found.attributes = info.dwFileAttributes;
        found.volume = info.dwVolumeSerialNumber;
        found.index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
        found.size = static_cast<int64_t>((uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
    } else {
        found.onDisk = false;
    }
    ::CloseHandle(handle);
    return found;
}

// The root of the volume that holds the path ("C:\", "\\server\share\").
std::optional<std::wstring> VolumePathOf(const std::string& folder) {
    const std::wstring wide = win::Widen(AbsolutePath(folder));
    std::wstring root(MAX_PATH + 1, L'\0');
    if (!::GetVolumePathNameW(wide.c_str(), root.data(), static_cast<DWORD>(root.size())))
        return std::nullopt;
    root.resize(::wcslen(root.c_str()));
    return root;
}

}  // namespace

bool FileExists(const std::string& path) {
    return ::GetFileAttributesW(win::Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsRegularFile(const std::string& path) {
    return Look(path).isFile();
}

int RegularFileError(const std::string& path) {
    const Found found = Look(path);
    if (found.error != 0) return found.error;
    if (found.isFile()) return 0;
    return found.isFolder() ? EISDIR : EINVAL;
}

bool IsFolder(const std::string& path) {
    return Look(path).isFolder();
}

bool SameFile(const std::string& a, const std::string& b) {
    const Found fa = Look(a);
    const Found fb = Look(b);
    return fa.error == 0 && fb.error == 0 && fa.onDisk && fb.onDisk && fa.volume == fb.volume &&
           fa.index == fb.index;
}

int64_t FileSize(const std::string& path) {
    const Found found = Look(path);
    return found.error == 0 && found.onDisk ? found.size : -1;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    const std::wstring pattern = win::Widen(WithSeparator(folder.empty() ? "." : folder)) + L"*";
    WIN32_FIND_DATAW entry{};
    HANDLE find = ::FindFirstFileW(pattern.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring_view name = entry.cFileName;
        if (name != L"." && name != L"..") names.push_back(win::Narrow(name));
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return names;
}

bool RenameNoReplace(const std::string& from, const std::string& to, int* error,
                     Durability durability) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the target exists,
    // and without MOVEFILE_COPY_ALLOWED it never turns into a copy; with
    // MOVEFILE_WRITE_THROUGH it returns once the move is on the disk.
    const bool durable = durability == Durability::Durable;
    if (durable) {
        if (testing::IoFaults* plan = fault::Plan()) ++plan->folderSyncs;
    }
    if (::MoveFileExW(win::Widen(from).c_str(), win::Widen(to).c_str(),
                      durable ? MOVEFILE_WRITE_THROUGH : 0))
        return true;
    if (error) *error = win::LastErrno();
    return false;
}

int64_t FreeSpace(const std::string& folder) {
    if (const std::optional<int64_t> forced = fault::ForcedFreeSpace()) return *forced;
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExW(win::Widen(WithSeparator(folder)).c_str(), &available, nullptr,
                               nullptr))
        return 0;
    return static_cast<int64_t>(available.QuadPart);
}

bool IsOpticalDisc(const std::string& folder) {
    const std::optional<std::wstring> root = VolumePathOf(folder);
    return root && ::GetDriveTypeW(root->c_str()) == DRIVE_CDROM;
}

int64_t LargestFileOn(const std::string& folder) {
    const std::optional<std::wstring> root = VolumePathOf(folder);
    wchar_t system[MAX_PATH + 1] = {};
    if (!root || !::GetVolumeInformationW(root->c_str(), nullptr, 0, nullptr, nullptr, nullptr,
                                          system, MAX_PATH + 1))
        return INT64_MAX;
    const std::wstring name = system;
    return name == L"FAT32" || name == L"FAT" ? 4294967295LL : INT64_MAX;
}

std::string VolumeOf(const std::string& folder) {
    const std::optional<std::wstring> root = VolumePathOf(folder);
    if (!root) return WithSeparator(FolderOf(AbsolutePath(folder)).substr(0, 2));
    return win::Narrow(*root);
}

std::string AbsolutePath(std::string_view path) {
    // GetFullPathNameW works on the text alone: a name that is a link stays
    // the name the user chose.
    const std::wstring wide = win::Widen(path.empty() ? std::string_view(".") : path);
    const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return std::string(path);
    std::wstring full(size, L'\0');
    const DWORD n = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (n == 0 || n >= size) return std::string(path);
    full.resize(n);
    return win::Narrow(full);
}

size_t MaxFileNameBytes(const std::string& folder) {
    // The volume counts UTF-16 units; as many bytes is never more than that.
    DWORD most = 0;
    const std::optional<std::wstring> root = VolumePathOf(folder);
    if (root &&
        ::GetVolumeInformationW(root->c_str(), nullptr, 0, nullptr, &most, nullptr, nullptr, 0) &&
        most > 0)
        return most;
    return 255;
}

bool MakeFolders(const std::string& folder) {
    std::error_code error;
    const std::filesystem::path path(win::Widen(folder));
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

std::string FollowLinks(const std::string& path) {
    const std::wstring wide = win::Widen(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    HANDLE handle =
        ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return path;  // a dangling link: callers refuse it
    std::wstring target(MAX_PATH, L'\0');
    DWORD n = ::GetFinalPathNameByHandleW(handle, target.data(), static_cast<DWORD>(target.size()),
                                          FILE_NAME_NORMALIZED);
    if (n >= target.size()) {
        target.resize(n + 1);
        n = ::GetFinalPathNameByHandleW(handle, target.data(), static_cast<DWORD>(target.size()),
                                        FILE_NAME_NORMALIZED);
    }
    ::CloseHandle(handle);
    if (n == 0 || n >= target.size()) return path;
    target.resize(n);
    // The final path comes as "\\?\C:\..." or "\\?\UNC\server\share\...".
    if (target.rfind(L"\\\\?\\UNC\\", 0) == 0)
        target = L"\\\\" + target.substr(8);
    else if (target.rfind(L"\\\\?\\", 0) == 0)
        target = target.substr(4);
    return win::Narrow(target);
}

bool WriteFileAtomically(const std::string& path, std::string_view content) {
    const std::string target = FollowLinks(path);
    const std::wstring wideTarget = win::Widen(target);
    const DWORD attributes = ::GetFileAttributesW(wideTarget.c_str());
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    if (existed && (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    std::random_device seed;
    const std::string temp = target + ".tmp" + std::to_string(seed() % 1000000);
    File file = File::CreateNew(temp);
    if (!file.IsOpen()) return false;
    bool written = file.Write(content.data(), content.size()).ok() && file.Sync() && file.Close();
    file.Close();  // a temporary file that failed is removed below, closed
    const std::wstring wideTemp = win::Widen(temp);
    // ReplaceFileW keeps the old file's permissions on the new content; a
    // file that did not exist yet is simply moved in place. Either replaces
    // our own temporary file's target, nothing else. The attributes that a
    // user sets (hidden, system) go on the new content first, as not every
    // ReplaceFileW carries them over.
    constexpr DWORD kKept =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    bool replaced = false;
    if (written && existed && (attributes & kKept))
        written = ::SetFileAttributesW(wideTemp.c_str(), attributes & kKept) != 0;
    if (written) {
        replaced = existed ? ::ReplaceFileW(wideTarget.c_str(), wideTemp.c_str(), nullptr,
                                            REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                           : false;
        if (!replaced)
            replaced = ::MoveFileExW(wideTemp.c_str(), wideTarget.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!replaced) ::DeleteFileW(wideTemp.c_str());
    return replaced;
}

bool CopyNoReplace(const std::string& from, const std::string& to) {
    const std::wstring wideFrom = win::Widen(from);
    const std::wstring wideTo = win::Widen(to);
    if (::CreateHardLinkW(wideTo.c_str(), wideFrom.c_str(), nullptr)) return true;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return false;
    // bFailIfExists: never over a file that took the name meanwhile.
    return ::CopyFileW(wideFrom.c_str(), wideTo.c_str(), TRUE) != 0;
}

}  // namespace platform
