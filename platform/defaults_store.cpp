#include "platform/defaults_store.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {
// Past this a "store" is not ours; reading it whole would only cost memory.
constexpr std::uintmax_t kMaxStoreBytes = 64 * 1024;
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
    std::error_code error;
    const auto size = std::filesystem::file_size(path_, error);
    if (error || size > kMaxStoreBytes) return;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string key = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        // Garbage lines are skipped one by one; the keys that survive still count.
        if (!IsValidKey(key) || value.size() > kMaxValueLength || value.find('\0') != std::string::npos) continue;
        SetString(key, value);
    }
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
    auto fail = [&](const std::string& what) {
        if (error != nullptr) *error = what + ": " + std::strerror(errno);
        return false;
    };
    const std::filesystem::path target(path_);
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    const std::string temp = path_ + ".tmp." + std::to_string(::getpid());
    std::FILE* f = std::fopen(temp.c_str(), "w");
    if (f == nullptr) return fail("cannot create \"" + temp + "\"");
    bool ok = true;
    for (const auto& [key, value] : entries_) {
        ok = ok && std::fprintf(f, "%s=%s\n", key.c_str(), value.c_str()) > 0;
    }
    ok = (std::fflush(f) == 0) && ok;
    ok = (::fsync(::fileno(f)) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok || std::rename(temp.c_str(), path_.c_str()) != 0) {
        const bool result = fail("cannot write \"" + path_ + "\"");
        std::remove(temp.c_str());
        return result;
    }
    return true;
}
