// The Christmas scene: one object owning every element of the night scene.
//
// Lifecycle: construct -> SetupAll (GL context current) -> any number of
// MoveScene / MoveCamera / MoveSnow / DrawScene -> CleanupAll -> destroy.
// Each element has SetupX / MoveX / DrawX in a source file of its own:
// MoveX issues no GL calls, DrawX changes no simulation state. Elements join
// SetupAll in their fixed order as they are built.
#pragma once

#include <string>
#include <vector>

#include "assets/texture.h"
#include "scene/settings.h"

class XMASMAIN {
public:
    XMASMAIN() = default;
    ~XMASMAIN() { CleanupAll(); }
    XMASMAIN(const XMASMAIN&) = delete;
    XMASMAIN& operator=(const XMASMAIN&) = delete;

    // Stops at the first failing step and frees nothing: CleanupAll does.
    bool SetupAll(const SETTINGS* settings, const char* path);
    // Safe after a failed or partial SetupAll, and safe twice.
    void CleanupAll();

    void MoveScene(double seconds);
    // Called by the frame driver with the identity model-view matrix loaded;
    // leaves the camera transform in it.
    void MoveCamera();
    void MoveSnow();
    void DrawScene();

    double frameTime = 0.0;
    double sceneTime = 0.0;
    bool showSparkles = true;
    bool showSmoke = true;
    bool showTrees = true;
    int snowCount = 1000;
    int starCount = 500;
    int houseCount = 40;
    int reindeerCount = 1;
    std::string resourcePath;  // ends in "/"
    std::vector<Texture> textures;  // "tex.brm", by lump index
};
