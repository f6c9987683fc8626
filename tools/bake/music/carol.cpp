#include "tools/bake/music/carol.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string_view>

namespace {
// Where a token sits, for messages.
struct Place {
    Place(const std::string& w, const Melody& m) : where(w), melody(m) {}
    const std::string& where;
    const Melody& melody;
    int bar = 1;
    std::string token;
};

[[noreturn]] void Fail(const Place& place, const std::string& why) {
    std::string message;
    if (!place.where.empty()) message += place.where + ": ";
    message += "\"" + std::string(place.melody.name ? place.melody.name : "?") + "\" bar " +
               std::to_string(place.bar);
    if (!place.token.empty()) message += ", token \"" + place.token + "\"";
    throw NotationError(message + ": " + why);
}

std::vector<std::string> Tokens(const char* text) {
    std::vector<std::string> out;
    std::istringstream in(text ? text : "");
    std::string token;
    while (in >> token) {
        // A bar line glued to a token ("C4:1|") still counts as a bar line.
        std::size_t from = 0;
        for (std::size_t i = 0; i <= token.size(); ++i) {
            if (i == token.size() || token[i] == '|') {
                if (i > from) out.push_back(token.substr(from, i - from));
                if (i < token.size()) out.push_back("|");
                from = i + 1;
            }
        }
    }
    return out;
}

std::string BeatsText(int ticks) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(ticks) / kBeatTicks);
    return text;
}

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// "3/2", "1.5", "2" as ticks; -1 when malformed or not a whole number of ticks.
int DurationTicks(std::string_view text) {
    if (text.size() > 12) return -1;
    long numerator = 0, denominator = 1;
    const std::size_t slash = text.find('/');
    const std::size_t dot = text.find('.');
    if (slash != std::string_view::npos) {
        const std::string_view a = text.substr(0, slash), b = text.substr(slash + 1);
        if (!AllDigits(a) || !AllDigits(b)) return -1;
        numerator = std::atol(std::string(a).c_str());
        denominator = std::atol(std::string(b).c_str());
    } else if (dot != std::string_view::npos) {
        const std::string_view a = text.substr(0, dot), b = text.substr(dot + 1);
        if ((!a.empty() && !AllDigits(a)) || !AllDigits(b) || b.size() > 4) return -1;
        numerator = a.empty() ? 0 : std::atol(std::string(a).c_str());
        for (char c : b) {
            numerator = numerator * 10 + (c - '0');
            denominator *= 10;
        }
    } else {
        if (!AllDigits(text)) return -1;
        numerator = std::atol(std::string(text).c_str());
    }
    if (denominator <= 0 || numerator <= 0) return -1;
    const long ticks = numerator * kBeatTicks;
    if (ticks % denominator != 0 || ticks / denominator > 64L * kBeatTicks) return -1;
    return static_cast<int>(ticks / denominator);
}

int LetterClass(char letter) {
    switch (letter) {
        case 'C': return 0;
        case 'D': return 2;
        case 'E': return 4;
        case 'F': return 5;
        case 'G': return 7;
        case 'A': return 9;
        case 'B': return 11;
        default: return -1;
    }
}

// Reads "C", "F#", "Bb" from the front of `s`; returns the pitch class (not
// reduced, so "B#" is 12 and "Cb" is -1 before the caller wraps it) and the
// characters used, or used = 0 when there is no letter.
int ReadPitchName(std::string_view s, std::size_t* used) {
    *used = 0;
    if (s.empty()) return 0;
    const int letter = LetterClass(s[0]);
    if (letter < 0) return 0;
    *used = 1;
    int pc = letter;
    if (s.size() > 1 && (s[1] == '#' || s[1] == 'b')) {
        pc += s[1] == '#' ? 1 : -1;
        *used = 2;
    }
    return pc;
}

// Splits the notes or chords string into bars of (token, ticks) pairs and checks
// the bar lengths; `read` turns one token's head (before ':') into its content.
template <typename Item, typename ReadHead>
std::vector<std::vector<std::pair<Item, int>>> ReadBars(const Melody& melody, const char* text,
                                                        const std::string& where, ReadHead read,
                                                        std::vector<int>* barTicks, int* total) {
    Place place{where, melody};
    if (melody.beatsPerBar < 1 || melody.beatsPerBar > 16)
        Fail(place, "beatsPerBar " + std::to_string(melody.beatsPerBar) + " is not 1-16");
    if (melody.beatUnit != 2 && melody.beatUnit != 4 && melody.beatUnit != 8)
        Fail(place, "beatUnit " + std::to_string(melody.beatUnit) + " is not 2, 4 or 8");
    const int full = melody.beatsPerBar * kBeatTicks;
    std::vector<std::vector<std::pair<Item, int>>> bars(1);
    std::vector<int> lengths(1, 0);
    for (const std::string& token : Tokens(text)) {
        place.token = token;
        if (token == "|") {
            if (bars.back().empty()) Fail(place, "empty bar");
            bars.emplace_back();
            lengths.push_back(0);
            ++place.bar;
            continue;
        }
        const std::size_t colon = token.find(':');
        if (colon == std::string::npos) Fail(place, "expected NAME:DURATION");
        // A tie is written after the duration; the head reader sees it as the head's suffix.
        const bool tie = token.back() == '~';
        const std::string duration = token.substr(colon + 1, token.size() - colon - 1 - (tie ? 1 : 0));
        const int ticks = DurationTicks(duration);
        if (ticks <= 0) Fail(place, "bad duration (use 1, 3/2, 1/3, 1.5 ...)");
        std::string why;
        Item item{};
        if (!read(token.substr(0, colon) + (tie ? "~" : ""), &item, &why)) Fail(place, why);
        bars.back().push_back({item, ticks});
        lengths.back() += ticks;
        if (lengths.back() > full) Fail(place, "bar is longer than " + std::to_string(melody.beatsPerBar) + " beats");
    }
    place.token.clear();
    if (bars.back().empty()) {
        if (bars.size() == 1) Fail(place, "no notes");
        bars.pop_back();  // a closing bar line
        lengths.pop_back();
    }
    // Inner bars are full; the first (a pick-up) and the last may be short.
    for (std::size_t i = 1; i + 1 < lengths.size(); ++i)
        if (lengths[i] != full) {
            place.bar = static_cast<int>(i) + 1;
            Fail(place, "bar holds " + BeatsText(lengths[i]) + " beats, not " + std::to_string(melody.beatsPerBar));
        }
    *total = 0;
    for (int length : lengths) *total += length;
    *barTicks = lengths;
    return bars;
}

struct NoteItem {
    int pitch = -1;  // -1 rest
    bool tie = false;
};

bool ReadNoteHead(const std::string& head, NoteItem* item, std::string* why) {
    std::string_view s = head;
    if (!s.empty() && s.back() == '~') {
        item->tie = true;
        s.remove_suffix(1);
    }
    if (s == "r") {
        if (item->tie) {
            *why = "a rest cannot be tied";
            return false;
        }
        return true;
    }
    std::size_t used = 0;
    const int pc = ReadPitchName(s, &used);
    if (used == 0) {
        *why = "a note starts with a letter A-G (or r for a rest)";
        return false;
    }
    const std::string_view octave = s.substr(used);
    if (octave.size() != 1 || !std::isdigit(static_cast<unsigned char>(octave[0]))) {
        *why = "expected an octave digit 0-9 after the note name";
        return false;
    }
    const int pitch = (octave[0] - '0' + 1) * 12 + pc;
    if (pitch < 0 || pitch > 127) {
        *why = "pitch outside MIDI keys 0-127";
        return false;
    }
    item->pitch = pitch;
    return true;
}

bool ReadChordHead(const std::string& head, ChordSymbol* chord, std::string* why) {
    try {
        *chord = ParseChordSymbol(head);
    } catch (const NotationError& e) {
        *why = e.what();
        return false;
    }
    return true;
}
}  // namespace

// Ties are written on the note's token: "G4:2~ | G4:1". A tie still open when the
// tune ends, or into a rest or another pitch, is an error rather than a guess.
NoteLine ParseNotes(const Melody& melody, const std::string& where) {
    NoteLine line;
    const auto bars = ReadBars<NoteItem>(melody, melody.notes, where, ReadNoteHead, &line.barTicks, &line.length);
    int time = 0;
    bool tieOpen = false;
    Place place{where, melody};
    for (std::size_t b = 0; b < bars.size(); ++b) {
        place.bar = static_cast<int>(b) + 1;
        for (const auto& [item, ticks] : bars[b]) {
            if (tieOpen) {
                if (item.pitch != line.notes.back().pitch)
                    Fail(place, "a tie must join two notes of the same pitch");
                line.notes.back().length += ticks;
            } else if (item.pitch >= 0) {
                line.notes.push_back({item.pitch, time, ticks});
            }
            tieOpen = item.tie;
            time += ticks;
        }
    }
    if (tieOpen) Fail(place, "the last note is tied to nothing");
    return line;
}

ChordLine ParseChords(const Melody& melody, const std::string& where) {
    ChordLine line;
    const auto bars =
        ReadBars<ChordSymbol>(melody, melody.chords, where, ReadChordHead, &line.barTicks, &line.length);
    int time = 0;
    for (const auto& bar : bars)
        for (const auto& [chord, ticks] : bar) {
            line.chords.push_back({chord, time, ticks});
            time += ticks;
        }
    return line;
}

ChordSymbol ParseChordSymbol(const std::string& symbol) {
    ChordSymbol chord;
    if (symbol == "N") return chord;
    std::string_view s = symbol;
    std::string_view bassName;
    if (const std::size_t slash = s.find('/'); slash != std::string_view::npos) {
        bassName = s.substr(slash + 1);
        s = s.substr(0, slash);
    }
    std::size_t used = 0;
    const int root = ReadPitchName(s, &used);
    if (used == 0) throw NotationError("chord \"" + symbol + "\" does not start with a root A-G");
    chord.root = (root + 12) % 12;
    const std::string_view quality = s.substr(used);
    struct Quality {
        std::string_view name;
        std::vector<int> tones;
    };
    static const Quality kQualities[] = {
        {"", {0, 4, 7}},           {"m", {0, 3, 7}},          {"7", {0, 4, 7, 10}},      {"m7", {0, 3, 7, 10}},
        {"maj7", {0, 4, 7, 11}},   {"6", {0, 4, 7, 9}},       {"m6", {0, 3, 7, 9}},      {"9", {0, 4, 7, 10, 14}},
        {"add9", {0, 4, 7, 14}},   {"dim", {0, 3, 6}},        {"dim7", {0, 3, 6, 9}},    {"m7b5", {0, 3, 6, 10}},
        {"aug", {0, 4, 8}},        {"+", {0, 4, 8}},          {"sus2", {0, 2, 7}},       {"sus4", {0, 5, 7}},
        {"sus", {0, 5, 7}},        {"7sus4", {0, 5, 7, 10}},  {"maj9", {0, 4, 7, 11, 14}}, {"m9", {0, 3, 7, 10, 14}},
    };
    bool known = false;
    for (const Quality& q : kQualities)
        if (q.name == quality) {
            chord.tones = q.tones;
            known = true;
        }
    if (!known) throw NotationError("chord \"" + symbol + "\" has an unknown quality \"" + std::string(quality) + "\"");
    chord.bass = chord.root;
    if (!bassName.empty() || symbol.find('/') != std::string::npos) {
        const int bass = ReadPitchName(bassName, &used);
        if (used == 0 || used != bassName.size())
            throw NotationError("chord \"" + symbol + "\" has a bad bass note after \"/\"");
        chord.bass = (bass + 12) % 12;
    }
    return chord;
}

Tune ReadTune(const Melody& melody, const std::string& where) {
    Tune tune;
    tune.melody = &melody;
    tune.notes = ParseNotes(melody, where);
    tune.chords = ParseChords(melody, where);
    tune.barLength = melody.beatsPerBar * kBeatTicks;
    Place place{where, melody};
    const auto& a = tune.notes.barTicks;
    const auto& b = tune.chords.barTicks;
    if (a.size() != b.size())
        Fail(place, "the chords have " + std::to_string(b.size()) + " bars, the notes " + std::to_string(a.size()));
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            place.bar = static_cast<int>(i) + 1;
            Fail(place, "the chords of this bar last " + BeatsText(b[i]) +
                            " beats, the notes " + BeatsText(a[i]));
        }
    return tune;
}

std::vector<Arrangement> AllArrangements() {
    std::vector<Arrangement> all = TraditionalA();
    for (auto part : {TraditionalB(), Originals()}) all.insert(all.end(), part.begin(), part.end());
    return all;
}
