#include "scene/xmasmain.h"

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
    return true;
}

void XMASMAIN::CleanupAll() {
    // Last to first, as the set was built.
    while (!textures.empty()) textures.pop_back();
}

void XMASMAIN::MoveScene(double seconds) {
    frameTime = seconds;
    sceneTime += seconds;
}

void XMASMAIN::MoveCamera() {}

void XMASMAIN::MoveSnow() {}

void XMASMAIN::DrawScene() {}
