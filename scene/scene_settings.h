// The user's choices as the view hands them to the engine (by address).
// Stored under the keys of host/settings.h; defaults there.
#pragma once

struct SETTINGS {
    bool SHOWSPARKLES = true;
    bool SHOWSMOKE = true;
    bool SHOWTREES = true;
    int NUM_SNOW = 750;
    int NUM_STARS = 400;
    int NUM_HOUSES = 40;
    int NUM_REINDEER = 1;  // the team is 2 * NUM_REINDEER + 3 reindeer
    bool PLAYMUSIC = true;
    bool SHOWCOUNTDOWN = true;
    int SelectedTune = 58;  // 0-57 a carol, 58 a random one
};
