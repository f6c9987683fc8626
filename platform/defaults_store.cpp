#include "platform/defaults_store.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "platform/atomic_file.h"

namespace {
// Far beyond any store we write (a few hundred bytes), yet a user's file with
// long comments still reads; past it the file is not ours to interpret.
constexpr std::uintmax_t kMaxStoreBytes = 1024 * 1024;
constexpr std::size_t kMaxKeyLength = 64;
constexpr std::size_t kMaxValueLength = 1024;

bool IsKeyChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == '-';
}

bool IsValidKey(const std::string& key) {
    if (key.empty() || key.size() > kMaxKeyLength) return false;
    for (char c : key) {
        if (!IsKeyChar(c)) return false;
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string ConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.config";
}
}  // namespace

DefaultsStore DefaultsStore::ForModule(const std::string& module) {
    return DefaultsStore(ConfigHome() + "/frostvale/" + module + ".conf");
}

DefaultsStore::DefaultsStore(std::string path) : path_(std::move(path)) { Load(); }

void DefaultsStore::Load() {
    entries_.clear();
    state_ = State::Absent;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path_, error);
    if (!std::filesystem::exists(status)) return;
    state_ = State::Unreadable;
    if (!std::filesystem::is_regular_file(status)) return;
    const auto size = std::filesystem::file_size(path_, error);
    if (error || size > kMaxStoreBytes) return;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return;
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) return;
    // Editors on other systems leave a byte-order mark and CR or CRLF line
    // ends; a crash can leave NUL padding. None of them should cost the user
    // the lines around them.
    std::size_t begin = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    bool anyLine = false;
    while (begin <= text.size()) {
        std::size_t end = text.find_first_of(std::string_view("\n\r\0", 3), begin);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(begin, end - begin);
        begin = end + 1;
        const std::string_view trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        const auto equals = trimmed.find('=');
        if (equals == std::string::npos) continue;
        // People line their files up as `PlayMusic = 0`; the spaces are layout, not part of the value.
        std::string key(Trim(trimmed.substr(0, equals)));
        std::string value(Trim(trimmed.substr(equals + 1)));
        // Garbage lines are skipped one by one; the keys that survive still count.
        if (!IsValidKey(key) || value.size() > kMaxValueLength) continue;
        SetString(key, value);
        anyLine = true;
    }
    // A file with bytes in it but not one line we understand is not a store.
    if (anyLine || size == 0) state_ = State::Read;
}

bool DefaultsStore::KeepAside(const std::string& reason, std::string* note) {
    std::error_code error;
    std::string aside;
    if (state_ == State::Unreadable) {
        // Moved, not copied: a folder in the store's place has to make room for the file.
        aside = path_ + ".bad";
        std::filesystem::remove_all(aside, error);
        std::filesystem::rename(path_, aside, error);
        if (!error) state_ = State::Absent;
        if (note != nullptr) {
            *note = error ? "cannot read \"" + path_ + "\" and cannot move it aside: " + error.message()
                          : "cannot read \"" + path_ + "\"; kept it as \"" + aside + "\" and wrote the defaults";
        }
        return !error;
    }
    if (state_ != State::Read || entries_.empty()) return false;
    // Copied, so that the user's file stays in place should writing the defaults fail.
    aside = path_ + ".old";
    std::filesystem::copy_file(path_, aside, std::filesystem::copy_options::overwrite_existing, error);
    if (note != nullptr) {
        *note = error ? "\"" + path_ + "\" " + reason + " and cannot be kept aside (" + error.message() +
                            "); wrote the defaults over it"
                      : "\"" + path_ + "\" " + reason + "; kept it as \"" + aside + "\" and wrote the defaults";
    }
    return !error;
}

std::optional<std::string> DefaultsStore::StringForKey(const std::string& key) const {
    for (const auto& [k, v] : entries_) {
        if (k == key) return v;
    }
    return std::nullopt;
}

bool DefaultsStore::BoolForKey(const std::string& key) const { return IntegerForKey(key) != 0; }

long long DefaultsStore::IntegerForKey(const std::string& key) const {
    const auto value = StringForKey(key);
    if (!value) return 0;
    errno = 0;
    char* end = nullptr;
    const long long number = std::strtoll(value->c_str(), &end, 10);
    if (errno != 0 || end == value->c_str()) return 0;
    return number;
}

IntegerReading DefaultsStore::ReadInteger(const std::string& key) const {
    IntegerReading reading;
    const auto stored = StringForKey(key);
    if (!stored) return reading;
    reading.state = IntegerReading::State::NotANumber;
    const std::string& text = *stored;
    std::size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    std::size_t digits = begin;
    if (digits < end && (text[digits] == '-' || text[digits] == '+')) ++digits;
    if (digits == end) return reading;
    for (std::size_t i = digits; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return reading;
    }
    // strtoll saturates at LLONG_MIN / LLONG_MAX on overflow, which is what a clamp wants.
    reading.value = std::strtoll(text.c_str() + begin, nullptr, 10);
    reading.state = IntegerReading::State::Number;
    return reading;
}

void DefaultsStore::SetString(const std::string& key, const std::string& value) {
    for (auto& entry : entries_) {
        if (entry.first == key) {
            entry.second = value;
            return;
        }
    }
    entries_.emplace_back(key, value);
}

bool DefaultsStore::Synchronize(std::string* error) const {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
    std::string text;
    for (const auto& [key, value] : entries_) text += key + "=" + value + "\n";
    return WriteFileAtomically(path_, text, error);
}
