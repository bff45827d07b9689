// The Windows registry through its Win32 calls, in UTF-16. Both roots live
// under HKEY_CURRENT_USER, which a user may always write.
#include "platform/SystemRegistry.h"

#include <cstring>
#include <vector>

#include "platform/win/Wide.h"

namespace platform::system_registry {

namespace {

std::wstring SubKey(RegRoot root, const std::string& path) {
    return (root == RegRoot::ClassesRoot ? L"Software\\Classes\\" : L"") + win::Widen(path);
}

class Key {
public:
    Key(RegRoot root, const std::string& path, REGSAM access, bool create) {
        const std::wstring subKey = SubKey(root, path);
        const LSTATUS status =
            create ? ::RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr,
                                       REG_OPTION_NON_VOLATILE, access, nullptr, &key_, nullptr)
                   : ::RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, access, &key_);
        if (status != ERROR_SUCCESS) key_ = nullptr;
    }
    ~Key() {
        if (key_) ::RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

bool Set(HKEY key, const std::string& name, DWORD type, const void* data, size_t bytes) {
    return ::RegSetValueExW(key, win::Widen(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                            static_cast<DWORD>(bytes)) == ERROR_SUCCESS;
}

}  // namespace

bool Available() {
    return true;
}

bool KeyExists(RegRoot root, const std::string& path) {
    return Key(root, path, KEY_QUERY_VALUE, false).get() != nullptr;
}

RegRead ReadValue(RegRoot root, const std::string& path, const std::string& name,
                  Registry::Value& out) {
    const Key key(root, path, KEY_QUERY_VALUE, false);
    if (!key.get()) return RegRead::Missing;
    const std::wstring wideName = win::Widen(name);
    DWORD type = 0;
    DWORD size = 0;
    std::vector<BYTE> data;
    LSTATUS status =
        ::RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, nullptr, &size);
    // Another program may make the value longer between the two calls.
    bool read = false;
    for (int tries = 0; !read && status == ERROR_SUCCESS && tries < 4; ++tries) {
        data.resize(size + sizeof(wchar_t));
        size = static_cast<DWORD>(data.size());
        status =
            ::RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, data.data(), &size);
        read = status == ERROR_SUCCESS;
        if (status == ERROR_MORE_DATA) status = ERROR_SUCCESS;
    }
    if (!read) return RegRead::Missing;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD value = 0;
        std::memcpy(&value, data.data(), sizeof value);
        out = static_cast<uint32_t>(value);
        return RegRead::Ok;
    }
    if (type != REG_SZ) return RegRead::WrongType;
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    // The terminator is part of the data as Windows writes it, not always as
    // other programs do.
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    out = win::Narrow(text);
    return RegRead::Ok;
}

bool WriteKey(RegRoot root, const std::string& path, const Registry::Values& values) {
    const Key key(root, path, KEY_SET_VALUE, true);
    if (!key.get()) return false;
    bool ok = true;
    for (const auto& [name, value] : values) {
        if (const auto* number = std::get_if<uint32_t>(&value)) {
            const DWORD dword = *number;
            ok = Set(key.get(), name, REG_DWORD, &dword, sizeof dword) && ok;
        } else {
            const std::wstring text = win::Widen(std::get<std::string>(value));
            ok = Set(key.get(), name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t)) &&
                 ok;
        }
    }
    return ok;
}

}  // namespace platform::system_registry
