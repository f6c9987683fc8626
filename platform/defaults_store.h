// The per-module defaults store: `${XDG_CONFIG_HOME:-$HOME/.config}/frostvale/<module>.conf`,
// one `Key=value` line per key in the order the keys were first set, bools as 1/0.
// Spaces and tabs around keys, `=` and values are read past.
//
// Reading never fails: a missing, unreadable or garbled file is an empty
// store (a first run). A byte-order mark, CR or CRLF line ends and NUL bytes
// are taken in stride; garbled lines are skipped one by one. Synchronize
// writes a temporary file and renames it over the old one, so an interrupted
// write (or a full disk) leaves the previous store whole.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// A stored value read as a whole number, telling an absent key from one that
// holds something else; a number past the range of long long is saturated.
struct IntegerReading {
    enum class State { Absent, NotANumber, Number };
    State state = State::Absent;
    long long value = 0;
};

class DefaultsStore {
public:
    // The store of `module` under the user's configuration folder.
    static DefaultsStore ForModule(const std::string& module);
    explicit DefaultsStore(std::string path);

    const std::string& Path() const { return path_; }

    // Absent keys read as nullopt, false and 0 respectively.
    std::optional<std::string> StringForKey(const std::string& key) const;
    bool BoolForKey(const std::string& key) const;
    long long IntegerForKey(const std::string& key) const;
    // Optional sign and digits, spaces or tabs around them allowed; nothing else.
    IntegerReading ReadInteger(const std::string& key) const;

    void SetString(const std::string& key, const std::string& value);
    void SetBool(const std::string& key, bool value) { SetString(key, value ? "1" : "0"); }
    void SetInteger(const std::string& key, long long value) { SetString(key, std::to_string(value)); }

    // Writes the store; false (and `error` says why) if it could not.
    bool Synchronize(std::string* error = nullptr) const;

    const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries_; }

    // True when a file is there but could not be read as a store at all
    // (permissions, a folder in its place, too large, no line of Key=value).
    bool Unreadable() const { return state_ == State::Unreadable; }
    // Before defaults replace the user's file it is kept beside the store, so
    // nothing they wrote is lost: an unreadable one is moved to "<path>.bad",
    // one that read (but is being replaced for `reason`, e.g. "has no version
    // line") is copied to "<path>.old". `note` gets one line saying where.
    // False when there was nothing to keep or keeping it failed.
    bool KeepAside(const std::string& reason, std::string* note);

private:
    enum class State { Absent, Read, Unreadable };
    void Load();

    State state_ = State::Absent;

    std::string path_;
    std::vector<std::pair<std::string, std::string>> entries_;
};
