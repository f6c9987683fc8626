// The low-detail houses and firs: where the scene switches to them, and that
// the baked ones load beside the near models without touching the placement.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>

#include "assets/alert.h"
#include "assets/texture.h"
#include "platform/egl_offscreen.h"
#include "scene/xmasmain.h"

namespace {

// Depth along the view, not distance, decides, as it does for the fog; and
// only a model wholly past the fog's start (300) goes to low detail.
TEST(FarDetail, OnlyWhatLiesWhollyPastTheFogStart) {
    XMASMAIN scene;
    const struct {
        VECTOR3D eye, target, origin;
        float reach;
        bool far;
    } cases[] = {
        {{0, 0, 0}, {0, 0, 10}, {0, 0, 316}, 15.0f, true},
        {{0, 0, 0}, {0, 0, 10}, {0, 0, 314}, 15.0f, false},     // its near side still short of the fog
        {{0, 0, 0}, {0, 0, 10}, {250, 0, 200}, 15.0f, false},   // 320 away, but only 200 deep
        {{0, 0, 0}, {0, 0, 10}, {0, 0, -400}, 15.0f, false},    // behind the camera
        {{10, 5, 0}, {10, 5, -1}, {10, 5, -330}, 15.0f, true},  // looking down -z from elsewhere
        {{0, 0, 0}, {0, 0, 0}, {0, 0, 380}, 15.0f, false},      // no view direction: keep the detail
    };
    for (const auto& c : cases) {
        scene.cameraEye = c.eye;
        scene.cameraTarget = c.target;
        EXPECT_EQ(scene.PastFogStart(c.origin, c.reach), c.far)
            << "origin " << c.origin.x << ", " << c.origin.y << ", " << c.origin.z;
    }
}

TEST(FarDetail, BakedFarModelsLoadBesideTheNearOnes) {
    const std::string baked = FROSTVALE_BAKED_DIR;
    std::string error;
    auto context = OffscreenContext::Create(64, 64, &error);
    if (context == nullptr) GTEST_SKIP() << "no offscreen GL: " << error;
    if (!std::filesystem::exists(baked + "/houses.brm")) GTEST_SKIP() << "no baked folder";
    EngineContext setup;
    auto scene = std::make_unique<XMASMAIN>(&setup);
    scene->resourcePath = baked + "/";
    ASSERT_TRUE(LoadTexturesFromDataFile((baked + "/tex.brm").c_str(), &scene->textures));
    ASSERT_TRUE(scene->SetupHouses()) << setup.error.Line();
    ASSERT_TRUE(scene->SetupTrees()) << setup.error.Line();

    const GLuint lists[] = {scene->houseLists[0], scene->houseLists[1], scene->houseListsFar[0],
                            scene->houseListsFar[1], scene->treeList, scene->rareTreeList, scene->treeListFar,
                            scene->rareTreeListFar};
    for (GLuint a : lists) {
        EXPECT_NE(a, 0u);
        EXPECT_EQ(std::count(std::begin(lists), std::end(lists), a), 1);
    }
    // About 20 across with the chimney on top; firs about 15 high.
    EXPECT_GT(scene->houseReach, 10.0f);
    EXPECT_LT(scene->houseReach, 25.0f);
    EXPECT_GT(scene->treeReach, 14.0f);
    EXPECT_LT(scene->treeReach, 25.0f);
    // Slots name the near models: the switch is made at drawing only.
    for (const TREESLOT& tree : scene->trees) {
        EXPECT_TRUE(tree.list == scene->treeList || tree.list == scene->rareTreeList);
    }
    scene.reset();  // GL names go while the context is current
}

}  // namespace
