// A complete resource folder that meets the contract, for the inspector's
// tests: the baker's own files, with every model held as a description in
// scene units (after the engine's scale) and divided by the scale when
// written, so tests can break one thing at a time in the units the checks speak.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tools/common/lumpwriter.h"
#include "tools/common/ms3dwriter.h"

struct FixtureLump {
    Lump baked;                          // written as it is unless there is a model
    std::optional<Ms3dModelDesc> model;  // written in place of the baked bytes
    float scale = 1.0f;                  // model: the engine's scale for this lump
};

struct Fixture {
    std::map<std::string, std::vector<FixtureLump>> files;
    std::vector<std::string> tunes;          // file names under music/
    std::map<std::string, Bytes> tuneBytes;  // overrides the minimal MIDI file

    // Writes every file into `dir` (created if needed).
    void Write(const std::string& dir) const;

    Ms3dModelDesc& Model(const std::string& file, int lump = 0) { return *files.at(file)[static_cast<std::size_t>(lump)].model; }
};

// The good folder.
Fixture GoodFixture();
