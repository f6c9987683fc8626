#include "tools/bake/music/arranger.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "assets/tunes.h"
#include "tools/bake/music/smf_writer.h"

namespace {
enum class PadPattern { None, Sustain, OomPah, Comp, RockComp, Strum };
enum class BassPattern { None, Held, RootFifth, Walking, Boogie };
enum class CounterPattern { None, Arpeggio, Ostinato };
enum class DrumPattern { None, March, Brushes, Rock, Jig, SleighBells };

// A style is a band: who plays what, and how loud and wet it sits.
struct StyleSpec {
    int lead;
    int pad;
    PadPattern padPattern;
    int bass;
    BassPattern bassPattern;
    int counter;
    CounterPattern counterPattern;
    DrumPattern drums;
    int reverb;
    int leadOctaves;  // the lead an octave or two up, for the small bright instruments
    bool detached;    // short, separated melody notes
    int padLow;       // lowest key of the harmony voicing
    int counterLow;   // lowest key of the countermelody
};

// General MIDI programs, counted from 0.
constexpr int kPiano = 0, kCelesta = 8, kGlockenspiel = 9, kMusicBox = 10, kVibraphone = 11, kChurchOrgan = 19,
              kSteelGuitar = 25, kCleanGuitar = 27, kAcousticBass = 32, kFingerBass = 33, kCello = 42, kPizzicato = 45,
              kHarp = 46, kStrings = 48, kSlowStrings = 49, kChoirAahs = 52, kVoiceOohs = 53, kTrumpet = 56, kTuba = 58,
              kHorn = 60, kAltoSax = 65, kFlute = 73, kFiddle = 110;

StyleSpec SpecOf(Style style) {
    switch (style) {
        case Style::Hymn:
            return {kChurchOrgan, kChurchOrgan, PadPattern::Sustain, kChurchOrgan, BassPattern::Held, -1,
                    CounterPattern::None, DrumPattern::None, 96, 0, false, 53, 0};
        case Style::Choir:
            return {kChoirAahs, kVoiceOohs, PadPattern::Sustain, kStrings, BassPattern::Held, -1,
                    CounterPattern::None, DrumPattern::None, 100, 0, false, 53, 0};
        case Style::MusicBox:
            return {kMusicBox, kSlowStrings, PadPattern::Sustain, kMusicBox, BassPattern::RootFifth, kCelesta,
                    CounterPattern::Arpeggio, DrumPattern::None, 80, 1, false, 53, 60};
        case Style::Waltz:
            return {kFlute, kStrings, PadPattern::OomPah, kPizzicato, BassPattern::RootFifth, -1,
                    CounterPattern::None, DrumPattern::None, 70, 0, false, 55, 0};
        case Style::March:
            return {kTrumpet, kHorn, PadPattern::OomPah, kTuba, BassPattern::RootFifth, -1, CounterPattern::None,
                    DrumPattern::March, 55, 0, true, 53, 0};
        case Style::Swing:
            return {kAltoSax, kPiano, PadPattern::Comp, kAcousticBass, BassPattern::Walking, -1,
                    CounterPattern::None, DrumPattern::Brushes, 50, 0, false, 55, 0};
        case Style::Rock:
            return {kCleanGuitar, kPiano, PadPattern::RockComp, kFingerBass, BassPattern::Boogie, -1,
                    CounterPattern::None, DrumPattern::Rock, 45, 0, true, 55, 0};
        case Style::Lullaby:
            return {kFlute, kSlowStrings, PadPattern::Sustain, kCello, BassPattern::Held, kHarp,
                    CounterPattern::Arpeggio, DrumPattern::None, 90, 0, false, 53, 55};
        case Style::Bells:
            return {kVibraphone, kStrings, PadPattern::Sustain, kPizzicato, BassPattern::RootFifth, kGlockenspiel,
                    CounterPattern::Ostinato, DrumPattern::SleighBells, 85, 0, false, 53, 60};
        case Style::Jig:
            return {kFiddle, kSteelGuitar, PadPattern::Strum, kAcousticBass, BassPattern::RootFifth, -1,
                    CounterPattern::None, DrumPattern::Jig, 45, 0, true, 55, 0};
        case Style::Ballad:
            return {kPiano, kSlowStrings, PadPattern::Sustain, kAcousticBass, BassPattern::Held, kHarp,
                    CounterPattern::Arpeggio, DrumPattern::None, 75, 0, false, 53, 60};
    }
    return SpecOf(Style::Hymn);
}

int Mod(int a, int m) { return ((a % m) + m) % m; }

// Loudness. The tune is played near the top of the synthesizer's range and the
// band in proportion under it; each style is then trimmed down (in dB) to one
// level, measured through FluidSynth with the General MIDI soundfont, since
// its instruments differ: an organ chord sounds far louder than a plucked bass
// at the same numbers. Velocity and controller 7 both attenuate by about
// 40 log10(value / 127) dB there.
constexpr int kLeadVelocity = 110;
constexpr double kBandVelocityScale = 1.3;
constexpr double kVolumeLift = 127.0 / 110.0;

double LevelTrim(Style style) {
    switch (style) {
        case Style::Hymn: return -4.8;
        case Style::Choir: return -3.6;
        case Style::MusicBox: return -1.2;
        case Style::Waltz: return -5.4;
        case Style::March: return -2.3;
        case Style::Swing: return -5.6;
        case Style::Rock: return -6.2;
        case Style::Lullaby: return -4.7;
        case Style::Bells: return -2.7;
        case Style::Jig: return -3.8;
        case Style::Ballad: return 0.0;
    }
    return 0.0;
}

// How much louder a lead instrument sounds than the trumpet at the same
// numbers, in dB, for the leads an arrangement may choose instead of its
// style's; the trim makes up the difference.
double LeadLoudness(int program) {
    switch (program) {
        case 0: return 0.15;    // piano
        case 8: return 3.3;     // celesta
        case 25: return -2.5;   // steel-string guitar
        case 48: return 0.15;   // strings
        case 61: return 2.4;    // brass section
        case 66: return -1.4;   // tenor sax
        case 68: return 2.6;    // oboe
        case 71: return 3.5;    // clarinet
        case 73: return 1.9;    // flute
        default: return 0.0;
    }
}

// A stretch of one chord on the whole piece's time line, with the bar grid it
// lives on, so that patterns know where the beats fall.
struct Span {
    int a, b;  // ticks
    ChordSymbol chord;
    int grid;    // a bar line of this stretch's meter
    int bar;     // ticks per bar
    int pulse;   // ticks per felt beat (a dotted quarter in 6/8)
    int beat;    // ticks per notated beat
    bool final;  // the held last chord
};

int PulseIndex(const Span& s, int t) { return Mod(t - s.grid, s.bar) / s.pulse; }
int PulsesPerBar(const Span& s) { return std::max(1, s.bar / s.pulse); }

// Points in [a, b) on a grid of `step` from `grid`, with `a` itself first.
std::vector<int> Points(int a, int b, int grid, int step) {
    std::vector<int> out;
    if (b <= a || step <= 0) return out;
    out.push_back(a);
    int t = a + Mod(grid - a, step);
    if (t == a) t += step;
    for (; t < b; t += step) out.push_back(t);
    return out;
}

// Pitch classes of a chord after transposition, at most `maxNotes`: a fifth
// goes first when there are too many, since it adds least colour.
std::vector<int> ChordClasses(const ChordSymbol& chord, int transpose, int maxNotes) {
    std::vector<int> tones = chord.tones;
    while (static_cast<int>(tones.size()) > maxNotes) {
        auto fifth = std::find(tones.begin(), tones.end(), 7);
        tones.erase(fifth != tones.end() ? fifth : tones.end() - 1);
    }
    std::vector<int> out;
    for (int t : tones) out.push_back(Mod(chord.root + t + transpose, 12));
    return out;
}

// A close voicing of the classes in [low, low + 19], the one nearest the previous
// voicing (smooth voice leading), or nearest middle C for the first chord. It
// stays below `ceiling` (the lowest melody note over the chord) so that the
// accompaniment never covers the tune, moving the range down when it must.
std::vector<int> Voice(const std::vector<int>& classes, int low, const std::vector<int>& previous, int ceiling = 128) {
    int high = std::min(low + 19, ceiling - 1);
    if (high - low < 14) {
        low = std::max(low - 7, high - 14);
        high = low + 14;
    }
    std::vector<std::vector<int>> options(classes.size());
    for (std::size_t i = 0; i < classes.size(); ++i)
        for (int k = low; k <= high; ++k)
            if (Mod(k, 12) == classes[i]) options[i].push_back(k);
    std::vector<int> best;
    long bestCost = -1;
    std::vector<std::size_t> pick(classes.size(), 0);
    while (true) {
        std::vector<int> v;
        for (std::size_t i = 0; i < classes.size(); ++i) v.push_back(options[i][pick[i]]);
        std::sort(v.begin(), v.end());
        const bool distinct = std::adjacent_find(v.begin(), v.end()) == v.end();
        if (distinct && v.back() - v.front() <= 12 + (v.size() > 3 ? 4 : 0)) {
            long cost = 0;
            if (previous.size() == v.size()) {
                for (std::size_t i = 0; i < v.size(); ++i) cost += std::abs(v[i] - previous[i]) * 10;
            } else {
                const int centre = previous.empty() ? low + 8 : (previous.front() + previous.back()) / 2;
                cost = std::abs((v.front() + v.back()) / 2 - centre) * 10 * static_cast<long>(v.size());
            }
            cost = cost * 4 + (v.back() - v.front());  // prefer the closer spacing on ties
            if (bestCost < 0 || cost < bestCost) {
                bestCost = cost;
                best = v;
            }
        }
        std::size_t i = 0;
        while (i < pick.size() && ++pick[i] == options[i].size()) pick[i++] = 0;
        if (i == pick.size()) break;
    }
    return best;
}

// The key for pitch class `pc` in [low, low + 12), nearest `near`.
int Place(int pc, int low, int near) {
    int best = low + Mod(pc - low, 12);
    for (int k = best - 12; k <= best + 12; k += 12)
        if (k >= low - 5 && k <= low + 16 && std::abs(k - near) < std::abs(best - near)) best = k;
    return best;
}

// An accompanying note may not rise above the tune nor rub a semitone (or a
// minor ninth, or a major seventh) against it; overlaps shorter than this (or
// than a third of a quick tune note) are the slack of legato playing, too
// short to hear.
constexpr int kRubTicks = kSmfDivision / 8;

bool Rubs(int key, int tuneKey) {
    const int interval = Mod(key - tuneKey, 12);
    return key > tuneKey || interval == 1 || interval == 11;
}

// When `key` first clashes with `tune` (sorted by tick) within [tick, end), or `end`.
int FirstClash(const std::vector<PartNote>& tune, int tick, int end, int key) {
    for (const PartNote& m : tune) {
        if (m.tick >= end) break;
        const int a = std::max(tick, m.tick), b = std::min(end, m.tick + m.length);
        if (b - a > std::min(kRubTicks, m.length / 3) && Rubs(key, m.key)) return a;
    }
    return end;
}

struct Builder {
    const StyleSpec& spec;
    int transpose;
    Part lead, pad, bass, counter, drums;
    std::vector<int> voicing;
    int lastBass = 43;
    const std::vector<PartNote>* tune = nullptr;  // the melody the band accompanies

    void Add(Part& part, int tick, int length, int key, int velocity) {
        if (length <= 0) return;
        while (key > 108) key -= 12;
        while (key < 24) key += 12;
        part.notes.push_back({tick, length, key, std::clamp(velocity, 1, 127)});
    }

    // A note of the band that keeps out of the tune's way: where it would clash
    // from its start, another tone of the chord below it (or the octave below)
    // takes its place; where the clash comes later, the note stops there and
    // sounds again once the tune has moved on.
    void Accompany(Part& part, int tick, int length, int key, int velocity, const std::vector<int>& chord = {}) {
        if (length <= 0 || !tune) return Add(part, tick, length, key, velocity);
        const int end = tick + length, need = std::min(length, 2 * kRubTicks);
        std::vector<int> candidates{key};
        for (int pc : chord) candidates.push_back(key - Mod(key - pc, 12));
        for (int pc : chord) candidates.push_back(key - 12 - Mod(key - pc, 12));
        candidates.push_back(key - 12);
        int best = key, bestClash = tick;
        for (int k : candidates) {
            if (k < 28) continue;
            const int clash = FirstClash(*tune, tick, end, k);
            if (clash - tick >= need) {
                best = k, bestClash = clash;
                break;
            }
        }
        if (bestClash == tick) {
            // No tone fits at the start: wait for the tune to move on.
            const int next = NextFree(tick, end, key);
            if (next < end) Accompany(part, next, end - next, key, velocity - 6, chord);
            return;
        }
        Add(part, tick, bestClash - tick, best, velocity);
        if (bestClash < end) {
            const int next = NextFree(bestClash, end, best);
            if (end - next >= kSmfDivision / 2) Accompany(part, next, end - next, best, velocity - 6, chord);
        }
    }

    // The first time after `from` when `key` no longer clashes with the tune.
    int NextFree(int from, int end, int key) const {
        int t = from;
        for (const PartNote& m : *tune) {
            if (m.tick >= end) break;
            if (m.tick + m.length <= t) continue;
            if (m.tick > t + kRubTicks) break;
            if (Rubs(key, m.key)) t = std::max(t, m.tick + m.length);
        }
        return std::max(t, from + 1);
    }

    void PadSpan(const Span& s, int ceiling) {
        if (spec.padPattern == PadPattern::None || s.chord.root < 0) return;
        const std::vector<int> classes = ChordClasses(s.chord, transpose, 4);
        voicing = Voice(classes, spec.padLow, voicing, ceiling);
        auto strike = [&](int t, int length, int velocity) {
            for (int k : voicing) Accompany(pad, t, std::min(length, s.b - t), k, velocity, classes);
        };
        if (s.final || spec.padPattern == PadPattern::Sustain) {
            // Long chords re-sound at each bar so that decaying sounds do not die out.
            const auto bars = Points(s.a, s.b, s.grid, s.bar);
            for (std::size_t i = 0; i < bars.size(); ++i) {
                const int end = i + 1 < bars.size() ? bars[i + 1] : s.b;
                strike(bars[i], end - bars[i] - (s.final ? 0 : 8), i == 0 ? 62 : 54);
            }
            return;
        }
        switch (spec.padPattern) {
            case PadPattern::OomPah:
                for (int t : Points(s.a, s.b, s.grid, s.pulse)) {
                    const int i = PulseIndex(s, t);
                    const bool oom = i == 0 || (PulsesPerBar(s) == 4 && i == 2);
                    if (!oom || (t == s.a && Mod(t - s.grid, s.pulse) != 0)) strike(t, s.pulse / 2, 52);
                }
                break;
            case PadPattern::Comp:
                for (int t : Points(s.a, s.b, s.grid, s.pulse))
                    if (PulseIndex(s, t) % 2 == 1 || t == s.a) strike(t, s.pulse * 2 / 5, t == s.a ? 50 : 44);
                break;
            case PadPattern::RockComp:
                for (int t : Points(s.a, s.b, s.grid, s.pulse / 2))
                    if (Mod(t - s.grid, s.pulse) != 0 || t == s.a) strike(t, s.pulse / 3, 40);
                break;
            case PadPattern::Strum: {
                const int step = s.pulse / (s.pulse == 3 * s.beat ? 3 : 2);
                for (int t : Points(s.a, s.b, s.grid, step))
                    if (Mod(t - s.grid, s.pulse) != 0) strike(t, step * 3 / 4, 42);
                break;
            }
            default:
                break;
        }
    }

    int BassKey(int pc) {
        // A music box has no deep notes: its bass sits an octave higher.
        const int key = Place(pc, spec.bass == kMusicBox ? 48 : 36, lastBass);
        lastBass = key;
        return key;
    }

    void BassSpan(const Span& s, const Span* next) {
        if (spec.bassPattern == BassPattern::None || s.chord.root < 0) return;
        const int root = Mod(s.chord.bass + transpose, 12);
        const int fifth = Mod(s.chord.root + transpose + 7, 12);
        const int velocity = spec.bass == kChurchOrgan || spec.bass == kStrings || spec.bass == kCello ? 70 : 84;
        const std::vector<int> chord{root, fifth};
        if (s.final || spec.bassPattern == BassPattern::Held) {
            const auto bars = Points(s.a, s.b, s.grid, s.bar);
            for (std::size_t i = 0; i < bars.size(); ++i) {
                const int end = i + 1 < bars.size() ? bars[i + 1] : s.b;
                Accompany(bass, bars[i], end - bars[i] - (s.final ? 0 : 10), BassKey(root), velocity, chord);
            }
            return;
        }
        switch (spec.bassPattern) {
            case BassPattern::RootFifth: {
                bool first = true;
                for (int t : Points(s.a, s.b, s.grid, s.pulse)) {
                    const int i = PulseIndex(s, t), n = PulsesPerBar(s);
                    const bool oom = i == 0 || (n == 4 && i == 2) || (n == 2 && i == 1);
                    if (!oom && !(first && t == s.a)) continue;
                    const int length = std::min(spec.detached ? s.pulse * 2 / 3 : s.pulse * 9 / 10, s.b - t);
                    Accompany(bass, t, length, BassKey(first ? root : fifth), velocity + (i == 0 ? 6 : 0), chord);
                    first = false;
                }
                break;
            }
            case BassPattern::Walking: {
                const auto beats = Points(s.a, s.b, s.grid, s.beat);
                const int third = Mod(s.chord.root + transpose + s.chord.tones[1], 12);
                const int nextRoot = next && next->chord.root >= 0 ? Mod(next->chord.bass + transpose, 12) : root;
                for (std::size_t i = 0; i < beats.size(); ++i) {
                    int key;
                    if (i == 0) {
                        key = BassKey(root);
                    } else if (i + 1 == beats.size() && next) {
                        // A chromatic step into the next chord's root.
                        const int target = Place(nextRoot, 36, lastBass);
                        key = target + (target > lastBass ? -1 : 1);
                        lastBass = key;
                    } else {
                        key = BassKey(i % 2 == 1 ? third : fifth);
                    }
                    Accompany(bass, beats[i], std::min(s.beat * 9 / 10, s.b - beats[i]), key,
                              velocity - (i % 2 ? 8 : 0), chord);
                }
                break;
            }
            case BassPattern::Boogie: {
                const bool minor = s.chord.tones.size() > 1 && s.chord.tones[1] == 3;
                const int steps[8] = {0, minor ? 3 : 4, 7, 9, 10, 9, 7, minor ? 3 : 4};
                const int base = BassKey(root);
                const int step = s.pulse / 2;
                for (int t : Points(s.a, s.b, s.grid, step)) {
                    const int i = Mod(t - s.grid, s.bar) / step;
                    Accompany(bass, t, std::min(step * 4 / 5, s.b - t), base + steps[Mod(i, 8)],
                              velocity - (i % 2 ? 10 : 0), chord);
                }
                lastBass = base;
                break;
            }
            default:
                break;
        }
    }

    void CounterSpan(const Span& s, int ceiling) {
        if (spec.counterPattern == CounterPattern::None || s.chord.root < 0) return;
        // The arpeggio's top (an octave over its lowest tone) stays under the tune too,
        // unless that would push it down into the bass.
        const int cap = ceiling - 12 >= spec.counterLow + 7 ? ceiling - 12 : 128;
        const std::vector<int> classes = ChordClasses(s.chord, transpose, 3);
        std::vector<int> tones = Voice(classes, spec.counterLow, {}, cap);
        if (tones.empty()) return;
        if (s.final) {
            Accompany(counter, s.a, s.b - s.a, tones.back(), 46, classes);
            return;
        }
        const bool compound = s.pulse == 3 * s.beat;
        const int step = compound ? s.pulse / 3 : s.pulse / 2;
        tones.push_back(tones.front() + 12);
        static const int kUpDown[] = {0, 1, 2, 3, 2, 1};
        static const int kBells[] = {3, 2, 3, 1, 3, 2, 3, 0};
        for (int t : Points(s.a, s.b, s.grid, step)) {
            const int i = Mod(t - s.grid, s.bar) / step;
            if (spec.counterPattern == CounterPattern::Arpeggio) {
                Accompany(counter, t, std::min(step * 3 / 2, s.b - t), tones[kUpDown[i % 6]], i == 0 ? 52 : 44,
                          classes);
            } else {
                Accompany(counter, t, std::min(step, s.b - t), tones[kBells[i % 8]], i % 2 ? 34 : 42, classes);
            }
        }
    }

    void Hit(int t, int key, int velocity, int length = 60) { Add(drums, t, length, key, velocity); }

    void DrumSpan(const Span& s, bool firstBar) {
        if (spec.drums == DrumPattern::None) return;
        if (s.final) {
            switch (spec.drums) {
                case DrumPattern::March:
                case DrumPattern::Rock: Hit(s.a, 49, 70, 240), Hit(s.a, 36, 80); break;
                case DrumPattern::Brushes: Hit(s.a, 51, 55, 240), Hit(s.a, 36, 50); break;
                case DrumPattern::SleighBells: Hit(s.a, 81, 50, 480); break;
                case DrumPattern::Jig: Hit(s.a, 45, 70); break;
                default: break;
            }
            return;
        }
        const int n = PulsesPerBar(s);
        if (spec.drums == DrumPattern::March || spec.drums == DrumPattern::Rock || spec.drums == DrumPattern::Brushes) {
            for (int t : Points(s.a, s.b, s.grid, s.pulse / 2)) {
                const int half = Mod(t - s.grid, s.bar) / (s.pulse / 2);
                const bool onPulse = half % 2 == 0;
                const int i = half / 2;
                const bool strong = i == 0 || (n == 4 && i == 2);
                if (spec.drums == DrumPattern::March) {
                    if (onPulse && strong) Hit(t, 36, i == 0 ? 72 : 60);
                    if (onPulse && !strong) Hit(t, 38, 50);
                    if (!onPulse && i == n - 1) Hit(t, 38, 38);  // a pick-up into the next bar
                    if (firstBar && t == s.a && i == 0) Hit(t, 49, 60, 240);
                } else if (spec.drums == DrumPattern::Rock) {
                    Hit(t, 42, onPulse ? 44 : 32);
                    if (onPulse && strong) Hit(t, 36, 76);
                    if (onPulse && !strong) Hit(t, 38, 66);
                    if (!onPulse && i == 2 && n == 4) Hit(t, 36, 56);
                } else {
                    if (onPulse) Hit(t, 51, i == 0 ? 46 : 40);
                    if (!onPulse && i % 2 == 1) Hit(t, 51, 32);
                    if (onPulse && i % 2 == 1) Hit(t, 44, 42), Hit(t, 38, 24);
                }
            }
        } else if (spec.drums == DrumPattern::Jig) {
            const int step = s.pulse == 3 * s.beat ? s.pulse / 3 : s.pulse / 2;
            for (int t : Points(s.a, s.b, s.grid, step)) {
                const int i = Mod(t - s.grid, s.pulse) / step;
                if (i == 0) Hit(t, 45, PulseIndex(s, t) == 0 ? 64 : 54);
                else Hit(t, 47, 30);
            }
        } else if (spec.drums == DrumPattern::SleighBells) {
            for (int t : Points(s.a, s.b, s.grid, s.pulse)) {
                Hit(t, 83, PulseIndex(s, t) == 0 ? 52 : 40, 120);
                if (PulseIndex(s, t) == 0 && Mod((t - s.grid) / s.bar, 2) == 0) Hit(t, 81, 30, 240);
            }
        }
    }
};

// Sharps (+) or flats (-) of the major key on `tonic`.
int KeySharps(int tonic) {
    static const int kSharps[12] = {0, -5, 2, -3, 4, -1, 6, 1, -4, 3, -2, 5};
    return kSharps[Mod(tonic, 12)];
}

// Swung eighths: the second half of each quarter starts two thirds of the way in.
int Swing(int t) {
    const int beat = t / kSmfDivision * kSmfDivision, pos = t - beat;
    const int half = kSmfDivision / 2, twoThirds = kSmfDivision * 2 / 3;
    return beat + (pos < half ? pos * twoThirds / half : twoThirds + (pos - half) * (kSmfDivision - twoThirds) / half);
}

// No two notes of one key overlap on a channel: a re-struck key ends the one before.
void Untangle(Part& part) {
    std::stable_sort(part.notes.begin(), part.notes.end(), [](const PartNote& x, const PartNote& y) {
        return x.tick != y.tick ? x.tick < y.tick : x.key < y.key;
    });
    std::map<int, std::size_t> open;
    std::vector<PartNote> kept;
    for (const PartNote& n : part.notes) {
        auto it = open.find(n.key);
        if (it != open.end()) {
            PartNote& before = kept[it->second];
            if (before.tick == n.tick) continue;  // the same key struck twice at once
            before.length = std::min(before.length, n.tick - before.tick);
        }
        open[n.key] = kept.size();
        kept.push_back(n);
    }
    part.notes = std::move(kept);
}
}  // namespace

Score Arrange(const Arrangement& arrangement, const std::string& title) {
    if (arrangement.melodies.empty()) throw BakeError(std::string(arrangement.file) + ": no melody");
    const StyleSpec spec = SpecOf(arrangement.style);
    std::vector<Tune> tunes;
    for (const Melody* melody : arrangement.melodies) tunes.push_back(ReadTune(*melody, arrangement.file));

    Score score;
    score.title = title;
    Builder band{spec, arrangement.transpose, {}, {}, {}, {}, {}, {}, 43};

    // Ticks per melody tick: kBeatTicks per beat of beatUnit becomes kSmfDivision per quarter.
    auto toMidi = [](const Melody& m, int t) { return static_cast<int>(static_cast<long>(t) * kSmfDivision * 4 / (m.beatUnit * kBeatTicks)); };

    {
        const Tune& first = tunes.front();
        const ChordSymbol& tonic = first.chords.chords.back().chord;
        const int root = tonic.root < 0 ? 0 : tonic.root + arrangement.transpose;
        score.minor = tonic.tones.size() > 1 && tonic.tones[1] == 3;
        score.keySharps = KeySharps(score.minor ? root + 3 : root);
    }

    std::vector<Span> spans;
    std::vector<PartNote> melody;
    int cursor = 0;  // end of what is placed so far
    int grid = 0;    // a bar line of the current meter
    const MeterChange* meterNow = nullptr;
    const int verses = std::max(1, arrangement.verses);
    for (int verse = 0; verse < verses; ++verse) {
        for (std::size_t m = 0; m < tunes.size(); ++m) {
            const Tune& tune = tunes[m];
            const Melody& mel = *tune.melody;
            const int bar = toMidi(mel, tune.barLength);
            const int beat = toMidi(mel, kBeatTicks);
            const bool compound = mel.beatUnit == 8 && mel.beatsPerBar % 3 == 0;
            const int pulse = compound ? 3 * beat : beat;
            const int pickup = toMidi(mel, tune.notes.barTicks.front()) % bar;
            const bool sameMeter = meterNow && meterNow->beatsPerBar == mel.beatsPerBar && meterNow->beatUnit == mel.beatUnit;
            int start;
            if (spans.empty()) {
                // One bar of the tonic (and the rest of the pick-up bar) sets the key and the pace.
                grid = 0;
                start = bar + (bar - pickup) % bar;
                score.meter.push_back({0, mel.beatsPerBar, mel.beatUnit});
                spans.push_back({0, start, tune.chords.chords.back().chord, 0, bar, pulse, beat, false});
            } else {
                if (!sameMeter) {
                    grid = cursor + Mod(grid - cursor, spans.back().bar);
                    score.meter.push_back({grid, mel.beatsPerBar, mel.beatUnit});
                }
                start = cursor + Mod(grid - pickup - cursor, bar);
                spans.back().b = start;  // the last chord rings on over the gap
            }
            meterNow = &score.meter.back();
            const int usec = static_cast<int>(60000000L * mel.beatUnit / (4L * std::max(20, arrangement.bpm)));
            if (score.tempo.empty() || score.tempo.back().microsecondsPerQuarter != usec)
                score.tempo.push_back({score.tempo.empty() ? 0 : std::min(start, grid), usec});

            for (const TimedChord& c : tune.chords.chords)
                spans.push_back({start + toMidi(mel, c.start), start + toMidi(mel, c.start + c.length), c.chord, grid, bar,
                                 pulse, beat, false});
            const int firstNote = static_cast<int>(melody.size());
            for (const TimedNote& n : tune.notes.notes) {
                const int t = start + toMidi(mel, n.start), length = toMidi(mel, n.length);
                const int posInBar = Mod(t - grid, bar);
                int velocity = kLeadVelocity + (posInBar == 0 ? 8 : (posInBar % pulse == 0 ? 3 : -3));
                if (length >= 2 * pulse) velocity += 3;
                melody.push_back({t, length, n.pitch + arrangement.transpose + 12 * spec.leadOctaves, velocity});
            }
            // Bright small instruments only go up while the tune stays in a range a player
            // would give a tune: not the top octave of the keyboard.
            int highest = 0;
            for (std::size_t i = firstNote; i < melody.size(); ++i) highest = std::max(highest, melody[i].key);
            while (highest > 88) {
                for (std::size_t i = firstNote; i < melody.size(); ++i) melody[i].key -= 12;
                highest -= 12;
            }
            cursor = start + toMidi(mel, tune.notes.length);
        }
    }

    // The ending: the last chord and the last melody note held for an extra bar,
    // under a ritardando over the last two bars.
    while (spans.size() > 1 && spans.back().chord.root < 0) spans.pop_back();
    Span& last = spans.back();
    const int hold = last.bar;
    const int end = cursor + hold;
    last.b = end;
    last.final = true;
    if (!melody.empty()) melody.back().length = end - melody.back().tick;
    {
        const int base = score.tempo.back().microsecondsPerQuarter;
        const int from = std::max(score.tempo.back().tick, cursor - 2 * last.bar);
        const int step = kSmfDivision / 2;
        for (int t = from + step; t <= cursor; t += step) {
            const double slowing = 1.0 + 0.40 * double(t - from) / double(std::max(1, cursor - from));
            score.tempo.push_back({t, static_cast<int>(base * slowing)});
        }
    }

    // The lead: legato, or separated for the dance and band styles. A piano's
    // note dies away, so it is struck harder to carry over sustained strings.
    const int lead = arrangement.leadProgram >= 0 && arrangement.leadProgram <= 127 ? arrangement.leadProgram : spec.lead;
    const int leadAccent = lead == kPiano ? 14 : 0;
    for (std::size_t i = 0; i < melody.size(); ++i) {
        PartNote n = melody[i];
        const bool isLast = i + 1 == melody.size();
        if (!isLast) {
            if (spec.detached) n.length = n.length <= kSmfDivision ? n.length * 3 / 4 : n.length - 80;
            else n.length = std::max(n.length / 2, n.length - 12);
        }
        band.Add(band.lead, n.tick, n.length, n.key, n.velocity + leadAccent);
    }
    band.tune = &melody;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const Span& s = spans[i];
        if (s.b <= s.a) continue;
        int lowest = 128;  // the lowest melody note sounding over this chord
        for (const PartNote& n : melody)
            if (n.tick < s.b && n.tick + n.length > s.a) lowest = std::min(lowest, n.key);
        band.PadSpan(s, lowest);
        band.BassSpan(s, i + 1 < spans.size() ? &spans[i + 1] : nullptr);
        band.CounterSpan(s, lowest);
        band.DrumSpan(s, i == 0);
    }

    const double leadTrim = lead == spec.lead ? 0.0 : LeadLoudness(spec.lead) - LeadLoudness(lead);
    const bool swing = arrangement.style == Style::Swing &&
                       std::all_of(tunes.begin(), tunes.end(), [](const Tune& t) { return t.melody->beatUnit == 4; });
    auto finish = [&](Part& part, const std::string& name, int channel, int program, int volume, int pan, int chorus) {
        part.name = name;
        part.channel = channel;
        part.program = program;
        part.pan = pan;
        part.reverb = spec.reverb;
        part.chorus = chorus;
        const double gain = kVolumeLift * std::pow(10.0, (LevelTrim(arrangement.style) + leadTrim) / 40.0);
        part.volume = std::clamp(static_cast<int>(std::lround(volume * gain)), 1, 127);
        if (channel != 0)
            for (PartNote& n : part.notes)
                n.velocity = std::clamp(static_cast<int>(std::lround(n.velocity * kBandVelocityScale)), 1, 127);
        if (swing)
            for (PartNote& n : part.notes) {
                const int a = Swing(n.tick), b = Swing(n.tick + n.length);
                n.tick = a;
                n.length = std::max(1, b - a);
            }
        Untangle(part);
        if (!part.notes.empty()) score.parts.push_back(std::move(part));
    };
    // Volumes balance the General MIDI sounds against each other: a piano lead
    // speaks softer than the sustained strings and organ under it.
    finish(band.lead, "Melody", 0, lead, lead == kPiano ? 124 : 110, 64, 0);
    const int padVolume = spec.pad == kChurchOrgan ? 66 : spec.pad == kSlowStrings ? 56 : 72;
    finish(band.pad, "Harmony", 1, spec.pad, padVolume, 44, 24);
    finish(band.bass, "Bass", 2, spec.bass, 92, 58, 0);
    finish(band.counter, "Counter", 3, spec.counter, spec.counter == kHarp ? 58 : 70, 86, 16);
    finish(band.drums, "Percussion", 9, 0, 80, 70, 0);
    for (const Part& part : score.parts)
        for (const PartNote& n : part.notes) score.end = std::max(score.end, n.tick + n.length);
    return score;
}

Bytes WriteScore(const Score& score) {
    std::vector<SmfTrack> tracks(1);
    SmfTrack& conductor = tracks[0];
    conductor.Name(0, score.title);
    for (const MeterChange& m : score.meter) conductor.TimeSignature(m.tick, m.beatsPerBar, m.beatUnit);
    conductor.KeySignature(0, score.keySharps, score.minor);
    for (const TempoChange& t : score.tempo) conductor.Tempo(t.tick, t.microsecondsPerQuarter);
    for (const Part& part : score.parts) {
        SmfTrack& track = tracks.emplace_back();
        track.Name(0, part.name);
        if (part.channel != 9) track.Program(0, part.channel, part.program);
        track.Control(0, part.channel, 7, part.volume);
        track.Control(0, part.channel, 10, part.pan);
        track.Control(0, part.channel, 91, part.reverb);
        track.Control(0, part.channel, 93, part.chorus);
        for (const PartNote& n : part.notes) track.Note(n.tick, n.length, part.channel, n.key, n.velocity);
    }
    return BuildSmf(tracks);
}

std::string CheckMusicTable(const std::vector<Arrangement>& arrangements) {
    std::map<std::string, int> count;
    for (const Arrangement& a : arrangements) ++count[a.file ? a.file : ""];
    std::string missing, doubled, unknown;
    auto append = [](std::string& list, const std::string& name) { list += (list.empty() ? "" : ", ") + name; };
    for (const char* name : MusicFiles) {
        auto it = count.find(name);
        if (it == count.end()) append(missing, name);
        else if (it->second > 1) append(doubled, name);
        if (it != count.end()) count.erase(it);
    }
    for (const auto& [name, n] : count) append(unknown, "\"" + name + "\"");
    std::string message;
    if (!missing.empty()) message += "no arrangement for " + missing;
    if (!doubled.empty()) message += (message.empty() ? "" : "; ") + std::string("more than one arrangement for ") + doubled;
    if (!unknown.empty()) message += (message.empty() ? "" : "; ") + std::string("not a tune file: ") + unknown;
    return message;
}

std::vector<MusicFile> BuildMusic() {
    const std::vector<Arrangement> all = AllArrangements();
    if (const std::string problem = CheckMusicTable(all); !problem.empty()) throw BakeError(problem);
    std::vector<MusicFile> files;
    for (int i = 0; i < kTuneCount; ++i) {
        const auto it = std::find_if(all.begin(), all.end(),
                                     [&](const Arrangement& a) { return std::string(a.file) == MusicFiles[i]; });
        files.push_back({MusicFiles[i], WriteScore(Arrange(*it, TuneNames[i]))});
    }
    return files;
}
