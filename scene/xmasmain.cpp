#include "scene/xmasmain.h"

// PLACEHOLDER parts below are replaced by the scene-core work before merging.

XMASMAIN::XMASMAIN() {}

bool XMASMAIN::SetupAll(const SETTINGS* settings, const char* path) {
    resourcePath = path;
    showSparkles = settings->SHOWSPARKLES;
    showSmoke = settings->SHOWSMOKE;
    showTrees = settings->SHOWTREES;
    snowCount = settings->NUM_SNOW;
    starCount = settings->NUM_STARS;
    houseCount = settings->NUM_HOUSES;
    reindeerCount = settings->NUM_REINDEER;
    if (!LoadTexturesFromDataFile((resourcePath + "tex.brm").c_str(), &textures)) return false;
    return SetupAnims() && SetupReindeers() && SetupSleigh() && SetupPresents() && SetupScene() && SetupSnow() &&
           SetupGround() && SetupHouses() && SetupTrees() && SetupSky();
}

bool XMASMAIN::SetupAnims() { return true; }
bool XMASMAIN::SetupScene() { return true; }
void XMASMAIN::CleanupScene() {}

void XMASMAIN::CleanupAll() {
    CleanupScene();
    CleanupBackground();
    while (!textures.empty()) textures.pop_back();
}

void XMASMAIN::MoveScene(double seconds) {
    frameTime = seconds;
    sceneTime += seconds;
}

void XMASMAIN::DrawScene() {}
