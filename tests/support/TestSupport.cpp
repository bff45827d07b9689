#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/Fs.h"
#include "platform/IoFaults.h"
#include "texts/Texts.h"

namespace testsupport {

namespace fs = std::filesystem;

namespace {

// Every suite fails a test that words a text with the wrong number of values.
void FailMisusedText(texts::TextId id, size_t valuesGiven, int placeholders) {
    ADD_FAILURE() << "text " << static_cast<int>(id) << " worded with " << valuesGiven
                  << " values for " << placeholders << " placeholders";
}
const texts::MisuseHandler kPreviousHandler = texts::SetMisuseHandler(FailMisusedText);

}  // namespace

void EachLanguage::SetUp() {
    ASSERT_TRUE(texts::UseLanguage(GetParam()));
}

void EachLanguage::TearDown() {
    texts::UseLanguage(texts::Languages()[0].code);
}

std::string EachLanguage::LocaleVariable() const {
    // The C locale speaks the reference; a locale of another language needs
    // no more than its language's code ("en.UTF-8").
    const std::string_view code = GetParam();
    return code == texts::Languages()[0].code ? "LC_ALL=C.UTF-8"
                                              : "LC_ALL=" + std::string(code) + ".UTF-8";
}

std::vector<std::string_view> LanguageCodes() {
    std::vector<std::string_view> codes;
    for (const texts::Language& language : texts::Languages()) codes.push_back(language.code);
    return codes;
}

std::string LanguageName(const ::testing::TestParamInfo<std::string_view>& info) {
    return std::string(info.param);
}

void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    ::_wputenv_s(FsPath(name).c_str(), FsPath(value).c_str());
#else
    ::setenv(name, value.c_str(), 1);
#endif
}

void UnsetEnv(const char* name) {
#ifdef _WIN32
    ::_wputenv_s(FsPath(name).c_str(), L"");
#else
    ::unsetenv(name);
#endif
}

bool MakeSymlink(const std::string& target, const std::string& link) {
    std::error_code error;
    fs::create_symlink(FsPath(target), FsPath(link), error);
    return !error;
}

fs::path FsPath(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

TempDir::TempDir() {
    // A random name, made with create_directory so that it is ours alone.
    std::random_device seed;
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder =
            fs::temp_directory_path() / ("pcw-test-" + std::to_string(seed() % 100000000));
        if (fs::create_directory(folder, error)) {
            path_ = platform::WithSeparator(Utf8(folder));
            return;
        }
    }
    path_ = platform::WithSeparator(Utf8(fs::temp_directory_path()));
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(FsPath(path_), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(FsPath(path_), ec);
}

std::string RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 engine(seed);
    std::string bytes(size, '\0');
    size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        const auto v = static_cast<uint32_t>(engine());
        std::memcpy(&bytes[i], &v, 4);
    }
    for (; i < size; ++i) bytes[i] = static_cast<char>(engine());
    return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(FsPath(path), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::string> ListDir(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(FsPath(folder)))
        names.push_back(Utf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

FreeSpaceIs::FreeSpaceIs(int64_t bytes) {
    platform::testing::OverrideFreeSpace(bytes);
}

FreeSpaceIs::~FreeSpaceIs() {
    platform::testing::OverrideFreeSpace(-1);
}

RecordingSink::RecordingSink() : previous_(platform::CurrentMessageSink()) {
    platform::SetMessageSink(this);
}

RecordingSink::~RecordingSink() {
    platform::SetMessageSink(previous_);
}

void RecordingSink::Show(platform::WindowHandle owner, std::string_view text,
                         std::string_view title, platform::Icon icon) {
    std::lock_guard lock(mutex_);
    messages_.push_back({std::string(text), std::string(title), static_cast<int>(icon), owner});
}

std::vector<ShownMessage> RecordingSink::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<std::string> RecordingSink::texts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const auto& m : messages_) out.push_back(m.text);
    return out;
}

void RecordingDisplay::Record(const std::string& slot, std::string value) {
    std::lock_guard lock(mutex_);
    writes_.push_back(slot + "=" + value);
}

void RecordingDisplay::SetOverallBar(int position) {
    Record("bar1", std::to_string(position));
}
void RecordingDisplay::SetPartBar(int position) {
    Record("bar2", std::to_string(position));
}
void RecordingDisplay::SetPercentText(std::string_view t) {
    Record("lblPourcentage", std::string(t));
}
void RecordingDisplay::SetStatusText(std::string_view t) {
    Record("lblInfo", std::string(t));
}
void RecordingDisplay::SetPartText(std::string_view t) {
    Record("lblPartie", std::string(t));
}
void RecordingDisplay::SetDoneText(std::string_view t) {
    Record("lblDone", std::string(t));
}
void RecordingDisplay::RunClock(bool enabled) {
    Record("Timer1", enabled ? "on" : "off");
}
void RecordingDisplay::CloseAfterJob() {
    std::lock_guard lock(mutex_);
    ++closes_;
    writes_.push_back("CloseAfterJob");
}

std::vector<std::string> RecordingDisplay::writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
}

std::vector<std::string> RecordingDisplay::valuesOf(const std::string& slot) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const auto& w : writes_)
        if (w.rfind(slot + "=", 0) == 0) out.push_back(w.substr(slot.size() + 1));
    return out;
}

int RecordingDisplay::closes() const {
    std::lock_guard lock(mutex_);
    return closes_;
}

}  // namespace testsupport
