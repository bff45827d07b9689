#include "settings/UzelParams.h"

#include "platform/Messages.h"
#include "settings/DesktopAssociation.h"

namespace {

constexpr char kKey[] = "\\Software\\Parcelwise";
constexpr char kFileType[] = "Parcelwise_File";

// The values a first run writes, in the order it writes them.
struct Default {
    const char* name;
    int32_t value;
};
constexpr Default kDefaults[] = {
    {"BufferSize", 0}, {"DefaultSize", 15},     {"SizeMode", 0},  {"isHashEnabled", 1},
    {"SplitQuit", 0},  {"JoinQuit", 0},         {"OpenDir", 0},   {"HideMessage", 0},
    {"DeletePartialFile", 0}, {"DeleteAfterJoin", 0},
};

}  // namespace

int BufferSizeIndex(uint32_t bytes) {
    for (size_t i = 0; i < kBufferSizes.size(); ++i)
        if (kBufferSizes[i] == bytes) return static_cast<int>(i);
    return -1;
}

TzelParams::TzelParams(std::vector<std::string> args, std::string programPath)
    : TzelParams(std::move(args), std::move(programPath), platform::RegistryFolder()) {}

TzelParams::TzelParams(std::vector<std::string> args, std::string programPath, std::string registryFolder)
    : args_(std::move(args)), programPath_(std::move(programPath)), registryFolder_(std::move(registryFolder)) {}

std::string TzelParams::CommandLine() const { return "\"" + programPath_ + "\" \"%1\""; }

bool TzelParams::HasParamFile() const { return !args_.empty() && !args_.front().empty(); }

std::string TzelParams::GetParamFile() const { return args_.empty() ? std::string() : args_.front(); }

bool TzelParams::ReadAll(platform::Registry& registry) {
    using platform::RegRead;
    int32_t value = 0;
    if (registry.ReadInteger("BufferSize", value) != RegRead::Ok) return false;
    bufferSize = value >= 0 && value < static_cast<int32_t>(kBufferSizes.size()) ? kBufferSizes[value] : kBufferSizes[0];
    auto readInt = [&](const char* name, int32_t& out) { return registry.ReadInteger(name, out) == RegRead::Ok; };
    auto readBool = [&](const char* name, bool& out) {
        if (registry.ReadInteger(name, value) != RegRead::Ok) return false;
        out = value != 0;
        return true;
    };
    return readInt("DefaultSize", defaultSize) && readInt("SizeMode", sizeMode) &&
           readBool("isHashEnabled", isHashEnabled) && readBool("SplitQuit", splitQuit) &&
           readBool("JoinQuit", joinQuit) && readBool("OpenDir", openDir) && readBool("HideMessage", hideMessage) &&
           readBool("DeletePartialFile", deletePartialFile) && readBool("DeleteAfterJoin", deleteAfterJoin);
}

bool TzelParams::WriteDefaults(platform::Registry& registry) {
    bool ok = registry.WriteString("", CommandLine());
    for (const Default& d : kDefaults) ok = registry.WriteInteger(d.name, d.value) && ok;
    return ok;
}

bool TzelParams::LoadSettings() {
    bool result = false;
    bool failed = false;
    {
        platform::Registry registry(platform::RegRoot::CurrentUser, registryFolder_);
        if (!registry.Loaded() || registry.KeyDamaged(kKey)) {
            failed = true;
        } else if (registry.KeyExists(kKey)) {
            failed = !(registry.OpenKey(kKey, true) && ReadAll(registry));
            result = !failed;
        } else {
            failed = !(registry.OpenKey(kKey, true) && WriteDefaults(registry) && ReadAll(registry));
        }
        if (!registry.Close()) failed = true;
    }
    // The association is the desktop's business: failing to write it (a data
    // folder without rights, a classes hive we may not replace) says nothing
    // about the settings just read, which stay. The next start tries again.
    if (!failed) {
        RegisterFileType();
        return result;
    }

    {
        // Only our key is written over; the store keeps every other key, and
        // keeps the damaged file beside before it drops a line of ours.
        platform::Registry registry(platform::RegRoot::CurrentUser, registryFolder_);
        registry.OpenKey(kKey, true);
        WriteDefaults(registry);
        ReadAll(registry);
        registry.Close();
    }
    platform::MessageBoxA(nullptr,
                          "Une erreur est survenue lors de la lecture des paramètres dans la base de registre !\n\r"
                          "Parcelwise va maintenant s'arrêter pour restaurer les paramètres initiaux.",
                          "Erreur lors du chargement", platform::kIconError);
    return false;
}

bool TzelParams::SaveSettings() {
    platform::Registry registry(platform::RegRoot::CurrentUser, registryFolder_);
    if (!registry.OpenKey(kKey, true)) return false;
    registry.WriteString("", CommandLine());
    if (int index = BufferSizeIndex(bufferSize); index >= 0) registry.WriteInteger("BufferSize", index);
    registry.WriteInteger("isHashEnabled", isHashEnabled ? 1 : 0);
    registry.WriteInteger("DefaultSize", defaultSize);
    registry.WriteInteger("SizeMode", sizeMode);
    registry.WriteInteger("SplitQuit", splitQuit ? 1 : 0);
    registry.WriteInteger("JoinQuit", joinQuit ? 1 : 0);
    registry.WriteInteger("OpenDir", openDir ? 1 : 0);
    registry.WriteInteger("HideMessage", hideMessage ? 1 : 0);
    registry.WriteInteger("DeletePartialFile", deletePartialFile ? 1 : 0);
    return registry.Close();
}

void TzelParams::PeekSettings() {
    TzelParams read(args_, programPath_, registryFolder_);
    platform::Registry registry(platform::RegRoot::CurrentUser, registryFolder_);
    bool ok = registry.Loaded() && !registry.KeyDamaged(kKey) && registry.OpenKey(kKey, false) &&
              read.ReadAll(registry);
    if (!ok) {
        // The first-run defaults, as a load would put them.
        read.bufferSize = kBufferSizes[0];
        read.defaultSize = 15;
        read.sizeMode = 0;
        read.isHashEnabled = true;
        read.splitQuit = read.joinQuit = read.openDir = read.hideMessage = false;
        read.deletePartialFile = read.deleteAfterJoin = false;
    }
    bufferSize = read.bufferSize;
    defaultSize = read.defaultSize;
    sizeMode = read.sizeMode;
    isHashEnabled = read.isHashEnabled;
    splitQuit = read.splitQuit;
    joinQuit = read.joinQuit;
    openDir = read.openDir;
    hideMessage = read.hideMessage;
    deletePartialFile = read.deletePartialFile;
    deleteAfterJoin = read.deleteAfterJoin;
    registry.CloseKey();
}

bool TzelParams::RegisterFileType() {
    platform::Registry registry(platform::RegRoot::ClassesRoot, registryFolder_);
    registry.OpenKey("\\.pcw", true);
    registry.WriteString("", kFileType);
    registry.CloseKey();
    registry.OpenKey(kFileType, true);
    registry.WriteString("", "Fichier découpé avec Parcelwise");
    registry.OpenKey("Shell", true);
    registry.WriteString("", "Open");
    registry.OpenKey("Open", true);
    registry.WriteString("", "-=Joindre avec Parcelwise=-");
    registry.OpenKey("Command", true);
    registry.WriteString("", CommandLine());
    if (!registry.Close()) return false;
    return WriteDesktopAssociation(programPath_);
}
