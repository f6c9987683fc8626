#include "host/xscreensaver_list.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/spawn.h"

namespace {
// The line we add, laid out as the daemon's own settings program writes its lines.
const std::string kEntryLine = std::string("  GL: \t\t\t\tfrostvale -root\t\t\t    \\n\\");

struct Lines {
    std::vector<std::string> lines;
    bool finalNewline = true;
};

Lines Split(const std::string& text) {
    Lines out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            out.lines.push_back(text.substr(at));
            out.finalNewline = false;
            break;
        }
        out.lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

std::string Join(const Lines& l) {
    std::string out;
    for (std::size_t i = 0; i < l.lines.size(); ++i) {
        out += l.lines[i];
        if (i + 1 < l.lines.size() || l.finalNewline) out += '\n';
    }
    return out;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}
std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}
std::string_view Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }
bool Continues(std::string_view line) {
    line = TrimRight(line);
    return !line.empty() && line.back() == '\\';
}

struct Block {
    std::size_t first = 0, last = 0;  // lines of the resource, inclusive
    std::size_t valueAt = 0;          // where the header line's value starts
};

// The resource `programs:` (the user's file) or `*programs:` (app-defaults).
std::optional<Block> FindPrograms(const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view rest = TrimLeft(lines[i]);
        std::size_t skip = 0;
        if (rest.substr(0, 9) == "programs:") skip = 9;
        else if (rest.substr(0, 10) == "*programs:") skip = 10;
        else continue;
        Block b;
        b.first = i;
        b.valueAt = lines[i].size() - rest.size() + skip;
        b.last = i;
        while (b.last + 1 < lines.size() && Continues(lines[b.last])) ++b.last;
        return b;
    }
    return std::nullopt;
}

// The hacks a line names: its text without the continuation, split at `\n`.
std::vector<std::string> Entries(std::string_view text) {
    text = TrimRight(text);
    if (!text.empty() && text.back() == '\\') text.remove_suffix(1);
    std::vector<std::string> out;
    while (true) {
        const std::size_t cut = text.find("\\n");
        const std::string_view entry = TrimLeft(TrimRight(text.substr(0, cut)));
        if (!entry.empty()) out.emplace_back(entry);
        if (cut == std::string_view::npos) break;
        text.remove_prefix(cut + 2);
    }
    return out;
}

bool IsFrostvale(std::string_view entry) {
    entry = TrimLeft(entry);
    if (!entry.empty() && entry.front() == '-') entry = TrimLeft(entry.substr(1));
    if (!entry.empty() && entry.front() == '"') {
        const std::size_t close = entry.find('"', 1);
        if (close == std::string_view::npos) return false;
        entry = TrimLeft(entry.substr(close + 1));
    }
    // A visual name ("GL:", "default:") comes before the command.
    std::size_t word = entry.find_first_of(" \t");
    if (word != std::string_view::npos && word > 0 && entry[word - 1] == ':') entry = TrimLeft(entry.substr(word));
    else if (word == std::string_view::npos && !entry.empty() && entry.back() == ':') return false;
    std::string_view command = entry.substr(0, entry.find_first_of(" \t"));
    const std::size_t slash = command.rfind('/');
    if (slash != std::string_view::npos) command.remove_prefix(slash + 1);
    return command == "frostvale";
}

std::string ReadFile(const std::string& path, bool* ok) {
    std::ifstream in(path, std::ios::binary);
    *ok = static_cast<bool>(in);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

ProgramsEdit AddToPrograms(const std::string& file, const std::string& appDefaults) {
    ProgramsEdit edit;
    Lines l = Split(file);
    const std::optional<Block> block = FindPrograms(l.lines);
    if (!block) {
        // The daemon's own list, so that adding ours takes none of the others away.
        Lines defaults = Split(appDefaults);
        std::vector<std::string> list = {"programs:\t\\"};
        if (const std::optional<Block> system = FindPrograms(defaults.lines)) {
            list[0] = "programs:" + defaults.lines[system->first].substr(system->valueAt);
            list.insert(list.end(), defaults.lines.begin() + static_cast<long>(system->first) + 1,
                        defaults.lines.begin() + static_cast<long>(system->last) + 1);
        }
        // A header that carries a hack (or ends the list) keeps it on a line of its own.
        if (Trim(std::string_view(list[0]).substr(9)) != "\\") {
            const std::string rest = list[0].substr(9);
            list[0] = "programs:\t\\";
            list.insert(list.begin() + 1, "\t\t\t\t" + std::string(TrimLeft(rest)));
        }
        list.insert(list.begin() + 1, kEntryLine);
        // The last line must not continue into whatever the user's file has next: it goes at the end.
        if (Continues(list.back())) {
            std::string& last = list.back();
            last = std::string(TrimRight(last));
            last.pop_back();
        }
        if (!l.lines.empty() && !TrimRight(l.lines.back()).empty()) l.lines.emplace_back();
        l.lines.insert(l.lines.end(), list.begin(), list.end());
        l.finalNewline = true;
        edit.result = ProgramsEdit::Result::Changed;
        edit.text = Join(l);
        return edit;
    }
    for (std::size_t i = block->first; i <= block->last; ++i) {
        const std::string_view text =
            i == block->first ? std::string_view(l.lines[i]).substr(block->valueAt) : std::string_view(l.lines[i]);
        for (const std::string& entry : Entries(text)) {
            if (!IsFrostvale(entry)) continue;
            if (entry.front() != '-') {
                edit.result = ProgramsEdit::Result::AlreadyThere;
                return edit;
            }
            // Listed but turned off: the user asked for it, so on it goes.
            const std::size_t dash = l.lines[i].find('-', i == block->first ? block->valueAt : 0);
            l.lines[i][dash] = ' ';
            edit.result = ProgramsEdit::Result::Changed;
            edit.text = Join(l);
            return edit;
        }
    }
    std::string& header = l.lines[block->first];
    const std::string rest = header.substr(block->valueAt);
    if (Trim(rest) == "\\") {
        l.lines.insert(l.lines.begin() + static_cast<long>(block->first) + 1, kEntryLine);
    } else {
        // `programs: maze -root \n\` or a one-line list: its hacks move to the next line.
        header = header.substr(0, block->valueAt) + "\t\\";
        l.lines.insert(l.lines.begin() + static_cast<long>(block->first) + 1,
                       {kEntryLine, "\t\t\t\t" + std::string(TrimLeft(rest))});
    }
    edit.result = ProgramsEdit::Result::Changed;
    edit.text = Join(l);
    return edit;
}

ProgramsEdit RemoveFromPrograms(const std::string& file) {
    ProgramsEdit edit;
    Lines l = Split(file);
    const std::optional<Block> block = FindPrograms(l.lines);
    if (!block) return edit;
    std::vector<std::size_t> drop;
    for (std::size_t i = block->first; i <= block->last; ++i) {
        const bool header = i == block->first;
        const std::vector<std::string> entries =
            Entries(header ? std::string_view(l.lines[i]).substr(block->valueAt) : std::string_view(l.lines[i]));
        bool ours = false;
        for (const std::string& entry : entries) ours = ours || IsFrostvale(entry);
        if (!ours) continue;
        if (header || entries.size() > 1) {
            edit.result = ProgramsEdit::Result::CannotEdit;
            edit.why = "line " + std::to_string(i + 1) + " lists frostvale with other hacks; edit it by hand";
            return edit;
        }
        drop.push_back(i);
    }
    if (drop.empty()) return edit;
    const bool lastDropped = drop.back() == block->last;
    for (auto it = drop.rbegin(); it != drop.rend(); ++it) l.lines.erase(l.lines.begin() + static_cast<long>(*it));
    if (lastDropped) {
        // The list's new last line must end it, not run on into the next resource.
        std::string& last = l.lines[block->last - drop.size()];
        if (Continues(last)) {
            last = std::string(TrimRight(last));
            last.pop_back();
        }
    }
    edit.result = ProgramsEdit::Result::Changed;
    edit.text = Join(l);
    return edit;
}

namespace {

}  // namespace

int RunXScreenSaverListCommand(bool add) {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        std::fprintf(stderr, "frostvale: HOME is not set; cannot find ~/.xscreensaver\n");
        return 1;
    }
    const std::string path = std::string(home) + "/.xscreensaver";
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if (exists && !std::filesystem::is_regular_file(path, ec)) {
        std::fprintf(stderr, "frostvale: \"%s\" is not a file\n", path.c_str());
        return 1;
    }
    bool readable = true;
    const std::string file = exists ? ReadFile(path, &readable) : std::string();
    if (!readable) {
        std::fprintf(stderr, "frostvale: cannot read \"%s\"\n", path.c_str());
        return 1;
    }
    std::string appDefaults;
    for (const char* candidate : {"/etc/X11/app-defaults/XScreenSaver", "/usr/share/X11/app-defaults/XScreenSaver"}) {
        bool ok = false;
        appDefaults = ReadFile(candidate, &ok);
        if (ok) break;
    }
    const ProgramsEdit edit = add ? AddToPrograms(file, appDefaults) : RemoveFromPrograms(file);
    switch (edit.result) {
        case ProgramsEdit::Result::AlreadyThere:
            std::printf("frostvale: \"%s\" already lists frostvale; left it as it is\n", path.c_str());
            return 0;
        case ProgramsEdit::Result::NotThere:
            std::printf("frostvale: \"%s\" does not list frostvale; nothing to remove\n", path.c_str());
            return 0;
        case ProgramsEdit::Result::CannotEdit:
            std::fprintf(stderr, "frostvale: \"%s\": %s\n", path.c_str(), edit.why.c_str());
            return 1;
        case ProgramsEdit::Result::Changed: break;
    }
    const std::string backup = path + ".before-frostvale";
    if (exists) {
        std::filesystem::copy_file(path, backup, std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) {
            std::fprintf(stderr, "frostvale: cannot keep a copy of \"%s\" as \"%s\": %s; left it as it is\n",
                         path.c_str(), backup.c_str(), ec.message().c_str());
            return 1;
        }
    }
    std::string error;
    if (!WriteFileAtomically(path, edit.text, &error)) {
        std::fprintf(stderr, "frostvale: %s\n", error.c_str());
        return 1;
    }
    // The daemon reads the file again when it changes; a restart makes sure
    // one that is running now has the new list before it next blanks.
    const bool running = RunQuietly({"xscreensaver-command", "-version"}) == 0;
    const bool told = running && RunQuietly({"xscreensaver-command", "-restart"}) == 0;
    std::printf("frostvale: %s \"%s\"%s%s%s\n", add ? "added frostvale to the programs of" : "removed frostvale from",
                path.c_str(), exists ? (" (the old file is \"" + backup + "\")").c_str() : "",
                told ? "; xscreensaver restarted to read it" : "",
                running && !told ? "; xscreensaver could not be restarted: it reads the file when it next blanks" : "");
    return 0;
}
