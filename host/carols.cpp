#include "host/carols.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "assets/tunes.h"
#include "scene/scene_settings.h"

namespace {
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}
}  // namespace

Carols::Carols(MidiPlayerFactory* players_, const std::string& resourcePath)
    : players(players_), resPath(resourcePath) {
    if (!resPath.empty() && resPath.back() != '/') resPath += '/';
}

Carols::~Carols() { Shutdown(true); }

void Carols::Step(double dt, SETTINGS* settings) {
    // Between polls a frame costs one subtraction and one compare.
    musicDelay = static_cast<float>(musicDelay - dt);
    if (musicDelay >= 0.0f) return;
    musicDelay = kPollInterval;

    if (player) {
        double t = 0.0;
        if (player->GetTime(&t) && t > sequenceLength && t < kTimeCeiling) {
            player->Stop();
            player.reset();
        }
    }
    if (player) return;

    currentTune = settings->SelectedTune;
    if (currentTune == kRandomTune) currentTune = std::rand() % kTuneCount;
    // A tune index outside the table (a hand-edited store) has no file to play.
    const bool known = currentTune >= 0 && currentTune < kTuneCount;
    const bool read = known && ReadWholeFile(resPath + MusicFiles[currentTune], &midiData);
    if (!PlayMidi(read ? &midiData : nullptr)) settings->PLAYMUSIC = false;
}

bool Carols::PlayMidi(const std::vector<std::uint8_t>* data) {
    if (data == nullptr) return false;
    sequence = std::make_unique<MidiSequence>();
    if (!LoadMidi(data->data(), data->size(), sequence.get(), nullptr)) return false;
    sequenceLength = MidiSequenceLength(*sequence, kTailBeats);
    player = players ? players->NewPlayer() : nullptr;
    if (!player) return false;
    if (!player->SetSequence(*sequence)) return false;
    return player->Start();
}

void Carols::Shutdown(bool playMusic) {
    if (player && playMusic) player->Stop();
    player.reset();
    sequence.reset();
}
