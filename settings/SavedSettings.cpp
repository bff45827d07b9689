#include "settings/SavedSettings.h"

#include <limits>
#include <optional>
#include <type_traits>
#include <variant>

#include "platform/Messages.h"
#include "settings/DesktopAssociation.h"
#include "texts/Texts.h"

namespace {

constexpr char kKey[] = "\\Software\\Parcelwise";
constexpr char kFileType[] = "Parcelwise_File";

// Every persisted value: its name, its field, the first run's default, whether
// a save writes it, and the stored numbers it may hold. A first run writes the
// rows in this order and a load reads them in this order. The buffer is stored
// as its index in kBufferSizes, the booleans as 0 or 1 (any other number reads
// as true).
using Field =
    std::variant<uint32_t SavedSettings::*, int32_t SavedSettings::*, bool SavedSettings::*>;
struct Setting {
    const char* name;
    Field field;
    int32_t firstRun;
    bool saved;
    int32_t least = std::numeric_limits<int32_t>::min();
    int32_t most = std::numeric_limits<int32_t>::max();
};
const Setting kSettings[] = {
    {"BufferSize", &SavedSettings::bufferSize, 0, true, 0,
     static_cast<int32_t>(kBufferSizes.size()) - 1},
    // The size field's own limits, a part size in Mo or a number of parts.
    {"DefaultSize", &SavedSettings::defaultSize, 15, true, 1, 999},
    {"SizeMode", &SavedSettings::sizeMode, 0, true, 0, 1},
    {"isHashEnabled", &SavedSettings::isHashEnabled, 1, true},
    {"SplitQuit", &SavedSettings::splitQuit, 0, true},
    {"JoinQuit", &SavedSettings::joinQuit, 0, true},
    {"OpenDir", &SavedSettings::openDir, 0, true},
    {"HideMessage", &SavedSettings::hideMessage, 0, true},
    {"DeletePartialFile", &SavedSettings::deletePartialFile, 0, true},
    // No control of the windows sets it, so a save leaves it alone: a value
    // set by hand in the file survives every save.
    {"DeleteAfterJoin", &SavedSettings::deleteAfterJoin, 0, false},
    {"RecoveryParts", &SavedSettings::recoveryParts, 0, true},
    {"PlainSets", &SavedSettings::plainSets, 0, true},
    {"PlainSha256", &SavedSettings::plainSha256, 0, true},
    // Any number: one that this version does not know is the automatic
    // choice (LanguageChosen), and a save keeps it for the version that wrote it.
    {"Language", &SavedSettings::language, 0, true},
};

// Puts a stored value, within its row's range, into its field.
void Assign(SavedSettings& params, const Field& field, int32_t stored) {
    std::visit(
        [&](auto member) {
            using T = std::remove_reference_t<decltype(params.*member)>;
            if constexpr (std::is_same_v<T, uint32_t>)
                params.*member = kBufferSizes[static_cast<size_t>(stored)];
            else if constexpr (std::is_same_v<T, bool>)
                params.*member = stored != 0;
            else
                params.*member = stored;
        },
        field);
}

// The value a field is stored as; nothing for a buffer size that is none of
// the sizes offered (it is then not saved).
std::optional<int32_t> Stored(const SavedSettings& params, const Field& field) {
    return std::visit(
        [&](auto member) -> std::optional<int32_t> {
            using T = std::remove_cvref_t<decltype(params.*member)>;
            if constexpr (std::is_same_v<T, uint32_t>) {
                int index = BufferSizeIndex(params.*member);
                return index >= 0 ? std::optional<int32_t>(index) : std::nullopt;
            } else {
                return static_cast<int32_t>(params.*member);
            }
        },
        field);
}

}  // namespace

int BufferSizeIndex(uint32_t bytes) {
    for (size_t i = 0; i < kBufferSizes.size(); ++i)
        if (kBufferSizes[i] == bytes) return static_cast<int>(i);
    return -1;
}

platform::LanguageChoice SavedSettings::LanguageChosen() const {
    using platform::LanguageChoice;
    for (LanguageChoice choice : {LanguageChoice::French, LanguageChoice::English})
        if (language == static_cast<int32_t>(choice)) return choice;
    return LanguageChoice::Automatic;
}

SavedSettings::SavedSettings(std::vector<std::string> args, std::string programPath)
    : SavedSettings(std::move(args), std::move(programPath), platform::RegistryFolder()) {}

SavedSettings::SavedSettings(std::vector<std::string> args, std::string programPath,
                             std::string registryFolder)
    : args_(std::move(args)),
      programPath_(std::move(programPath)),
      registryFolder_(std::move(registryFolder)) {}

std::string SavedSettings::CommandLine() const {
    return "\"" + programPath_ + "\" \"%1\"";
}

bool SavedSettings::HasStartupFile() const {
    return !args_.empty() && !args_.front().empty();
}

std::string SavedSettings::StartupFile() const {
    return args_.empty() ? std::string() : args_.front();
}

void SavedSettings::ReadAll(const platform::Registry& registry) {
    for (const Setting& setting : kSettings) {
        int32_t value = setting.firstRun;
        if (registry.ReadInteger(setting.name, value) != platform::RegRead::Ok ||
            value < setting.least || value > setting.most)
            value = setting.firstRun;
        Assign(*this, setting.field, value);
    }
}

bool SavedSettings::WriteDefaults(platform::Registry& registry) {
    bool ok = registry.WriteString("", CommandLine());
    for (const Setting& setting : kSettings)
        ok = registry.WriteInteger(setting.name, setting.firstRun) && ok;
    return ok;
}

void SavedSettings::PutFirstRunValues() {
    for (const Setting& setting : kSettings) Assign(*this, setting.field, setting.firstRun);
}

bool SavedSettings::LoadSettings(platform::Messages& said) {
    bool result = false;
    bool failed = false;
    {
        platform::Registry registry(platform::RegRoot::CurrentUser, registryFolder_);
        if (!registry.Loaded() || registry.KeyDamaged(kKey)) {
            failed = true;
        } else if (registry.KeyExists(kKey)) {
            failed = !registry.OpenKey(kKey, true);
            result = !failed;
        } else {
            failed = !(registry.OpenKey(kKey, true) && WriteDefaults(registry));
        }
        if (!failed) ReadAll(registry);
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
        registry.Close();
    }
    PutFirstRunValues();
    said.push_back({texts::Say(texts::TextId::SettingsUnreadable),
                    texts::Say(texts::TextId::TitleSettingsUnreadable), platform::Icon::Error});
    return false;
}

bool SavedSettings::SaveSettings() {
    platform::Registry registry(platform::RegRoot::CurrentUser, registryFolder_);
    if (!registry.OpenKey(kKey, true)) return false;
    registry.WriteString("", CommandLine());
    for (const Setting& setting : kSettings)
        if (auto value = Stored(*this, setting.field); setting.saved && value)
            registry.WriteInteger(setting.name, *value);
    return registry.Close();
}

void SavedSettings::PeekSettings() {
    platform::Registry registry(platform::RegRoot::CurrentUser, registryFolder_);
    // A damaged key reads as the first run would write it, as a load would
    // put it back.
    if (registry.Loaded() && !registry.KeyDamaged(kKey) && registry.OpenKey(kKey, false))
        ReadAll(registry);
    else
        PutFirstRunValues();
    registry.CloseKey();
}

bool SavedSettings::RegisterFileType() {
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
    return !kUsesDesktopFiles || WriteDesktopAssociation(programPath_);
}
