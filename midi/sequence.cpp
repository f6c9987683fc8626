#include "midi/sequence.h"

#include <algorithm>

namespace {
constexpr double kPastEveryEvent = 1e9;  // beats; where the carol step seeks to find a track's end
}  // namespace

void MidiTempoMap::Build(std::vector<std::pair<double, std::uint32_t>> changes) {
    std::stable_sort(changes.begin(), changes.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    segments_.assign(1, Segment{0.0, 0.0, kDefaultMicrosPerBeat / 1e6});
    for (const auto& [beat, micros] : changes) {
        Segment& last = segments_.back();
        const double secondsPerBeat = micros / 1e6;
        if (beat <= last.beat) {
            last.secondsPerBeat = secondsPerBeat;  // same instant: the later change wins
            continue;
        }
        segments_.push_back({beat, last.seconds + (beat - last.beat) * last.secondsPerBeat, secondsPerBeat});
    }
}

double MidiTempoMap::SecondsAt(double beat) const {
    auto it = std::upper_bound(segments_.begin(), segments_.end(), beat,
                               [](double b, const Segment& s) { return b < s.beat; });
    const Segment& s = it == segments_.begin() ? segments_.front() : *(it - 1);
    return s.seconds + (beat - s.beat) * s.secondsPerBeat;
}

double MidiTempoMap::BeatAt(double seconds) const {
    auto it = std::upper_bound(segments_.begin(), segments_.end(), seconds,
                               [](double t, const Segment& s) { return t < s.seconds; });
    const Segment& s = it == segments_.begin() ? segments_.front() : *(it - 1);
    return s.beat + (seconds - s.seconds) / s.secondsPerBeat;
}

bool MidiSequence::LastEventBeat(std::size_t track, double* beat) const {
    if (track >= tracks.size()) return false;
    MidiEventCursor cursor(tracks[track]);
    cursor.Seek(kPastEveryEvent);
    if (!cursor.Previous()) return false;
    *beat = cursor.Current()->beat;
    return true;
}

void MidiEventCursor::Seek(double beat) {
    const std::vector<MidiEvent>& events = track_->events;
    index_ = static_cast<std::size_t>(
        std::lower_bound(events.begin(), events.end(), beat,
                         [](const MidiEvent& e, double b) { return e.beat < b; }) -
        events.begin());
}

bool MidiEventCursor::Previous() {
    if (index_ == 0) return false;
    --index_;
    return true;
}

const MidiEvent* MidiEventCursor::Current() const {
    return index_ < track_->events.size() ? &track_->events[index_] : nullptr;
}
