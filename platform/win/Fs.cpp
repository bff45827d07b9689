#include "platform/Fs.h"

#include <optional>

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

bool RenameNoReplace(const std::string& from, const std::string& to, int* error) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the target exists,
    // and without MOVEFILE_COPY_ALLOWED it never turns into a copy.
    if (::MoveFileExW(win::Widen(from).c_str(), win::Widen(to).c_str(), 0)) return true;
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

}  // namespace platform
