#include "scene/xmasmain.h"

#include <GL/gl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <new>
#include <string>

#include "assets/ms3d.h"
#include "assets/resfile.h"
#include "assets/resource_contract.h"
#include "math/failure.h"

namespace {
constexpr std::size_t kSceneImages = scene_image::kCount;

// The hands the engine reads by joint number: Santa's (reins and the present
// he holds) and the elf's (the presents he throws).
constexpr int kSantaJointsNeeded = std::max(santa::kHandPlusX, santa::kHandMinusX) + 1;
constexpr int kElfJointsNeeded = std::max(elf::kHand1, elf::kHand2) + 1;

// Animation templates: reindeer, Santa, elf.
constexpr ModelRef kAnimModels[3] = {kReindeerModel, kSantaModel, kElfModel};

bool NeedJoints(const char* file, int has, int needs) {
    if (has >= needs) return true;
    NoteSetupFailure(std::string(file) + ": has " + std::to_string(has) + " joints, needs " + std::to_string(needs));
    return false;
}

template <class T>
void ReleaseLastToFirst(std::vector<T>* items) {
    while (!items->empty()) items->pop_back();
    items->shrink_to_fit();
}
}  // namespace

XMASMAIN::XMASMAIN() {
    for (PRESENT& present : presents) present.stage = kPresentUnused;
    heldPresent.stage = kPresentUnused;
}

bool ReadModelLump(RESFILE* file, const std::string& name, int lump, MS3D* model) {
    if (!file->SeekLump(lump)) {
        // Too few lumps, or one whose bytes lie past the end (the reader says where).
        NoteSetupFailure(name + ": " +
                         (lump >= file->LumpCount() ? "has " + std::to_string(file->LumpCount()) +
                                                          " lumps, needs lump " + std::to_string(lump)
                                                    : file->error));
        return false;
    }
    BoundedReader reader = file->Lump();
    if (model->LoadFromFStream(&reader)) return true;
    // The reader's own note does not say which file; replace it by one that does.
    std::string why = TakeSetupFailure();
    if (why.empty() || why == kMs3dInvalidMessage) why = Ms3dRefusal(*model);
    if (why.starts_with(kMs3dInvalidMessage) || why == kMs3dBadNumberMessage) {
        why = name + ": lump " + std::to_string(lump) + ": " + why;
    }
    NoteSetupFailure(why);
    return false;
}

bool XMASMAIN::LoadModelLump(const char* file, MS3D* model) const {
    const std::string path = resourcePath + file;
    RESFILE res;
    if (!res.Open(path.c_str()) || !res.SeekLump(0)) {
        NoteSetupFailure(res.Describe(path));
        return false;
    }
    return ReadModelLump(&res, "assets: \"" + path + "\"", 0, model);
}

bool XMASMAIN::SetupAll(const SETTINGS* settings, const char* path) {
    resourcePath = path != nullptr ? path : "";
    showSparkles = settings->SHOWSPARKLES;
    showSmoke = settings->SHOWSMOKE;
    showTrees = settings->SHOWTREES;
    snowCount = settings->NUM_SNOW;
    starCount = settings->NUM_STARS;
    houseCount = settings->NUM_HOUSES;
    reindeerCount = settings->NUM_REINDEER;

    if (!LoadTexturesFromDataFile((resourcePath + kSceneImageFile).c_str(), &textures)) return false;
    // A lump that is no image leaves an empty record: it counts as missing.
    std::size_t images = 0;
    while (images < textures.size() && images < kSceneImages && textures[images].texID != 0) ++images;
    if (images < kSceneImages) {
        NoteSetupFailure(textures.size() < kSceneImages
                             ? "tex.brm: has " + std::to_string(textures.size()) + " images, needs 7"
                             : "tex.brm: lump " + std::to_string(images) + " is not an image (needs images 0-6)");
        return false;
    }

    if (!SetupAnims()) return false;
    if (!SetupReindeers()) return false;
    if (!SetupSleigh()) return false;
    if (!SetupPresents()) return false;
    if (!SetupScene()) return false;
    if (!SetupSnow()) return false;
    if (!SetupGround()) return false;
    if (!SetupHouses()) return false;
    if (!SetupTrees()) return false;
    if (!SetupSky()) return false;
    return true;
}

bool XMASMAIN::SetupAnims() {
    try {
        animTemplates.clear();
        animTemplates.resize(3);
    } catch (const std::bad_alloc&) {
        ERRORCLOSE("Error allocating memory!");
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        MS3D model;
        if (!LoadModelLump(kAnimModels[i].file, &model)) return false;
        model.Scale(kAnimModels[i].scale);
        model.InitialSetup();
        if (!animTemplates[i].Setup(&model)) return false;
    }
    return NeedJoints(kSantaModel.file, animTemplates[1].numJoints, kSantaJointsNeeded) &&
           NeedJoints(kElfModel.file, animTemplates[2].numJoints, kElfJointsNeeded);
}

bool XMASMAIN::SetupScene() {
    try {
        santa = std::make_unique<ONEMODEL>();
        elf = std::make_unique<ONEMODEL>();
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (animTemplates.size() < 3) return false;

    {
        MS3D model;
        if (!LoadModel((resourcePath + kSantaModel.file).c_str(), &model, &santaTexture)) return false;
        model.Scale(kSantaModel.scale);
        model.InitialSetup();
        if (!santa->Setup(&animTemplates[1], &model, santaTexture)) return false;
        // The instance must carry the hand joints as well as the template.
        if (!NeedJoints(kSantaModel.file, santa->numJoints, kSantaJointsNeeded)) return false;
        santa->position = {0.0f, 0.0f, 1.7f};
        santa->SetAnimation(santa::kSeated.first, santa::kSeated.last, 200, true, false);
    }
    {
        MS3D model;
        if (!LoadModel((resourcePath + kElfModel.file).c_str(), &model, &elfTexture)) return false;
        model.Scale(kElfModel.scale);
        model.InitialSetup();
        if (!elf->Setup(&animTemplates[2], &model, elfTexture)) return false;
        if (!NeedJoints(kElfModel.file, elf->numJoints, kElfJointsNeeded)) return false;
        elf->position = {0.0f, 1.6f, -1.0f};
        elf->SetAnimation(elf::kCruise.first, elf::kCruise.last, 1000, true, false);
    }

    // The first flight skips the entry actions of step 0 and lasts at least 20 s.
    animState = ANIM_FLYING;
    animStep = 1;
    animTimer = 20.0f;
    return true;
}

void XMASMAIN::CleanupScene() {
    santa.reset();
    elf.reset();
    ReleaseLastToFirst(&reindeer);
    for (GLuint& list : presentLists) {
        if (list != 0) glDeleteLists(list, 1);
        list = 0;
    }
    presentLists.clear();
    presentLists.shrink_to_fit();
    reinPoints.clear();
    reinPoints.shrink_to_fit();
    if (sleighList != 0) glDeleteLists(sleighList, 1);
    sleighList = 0;
    ReleaseLastToFirst(&animTemplates);
}

void XMASMAIN::CleanupAll() {
    CleanupScene();
    CleanupBackground();
    ReleaseLastToFirst(&textures);
    ReleaseLastToFirst(&sleighTexture);
    ReleaseLastToFirst(&reindeerTexture);
    ReleaseLastToFirst(&santaTexture);
    ReleaseLastToFirst(&elfTexture);
    ReleaseLastToFirst(&presentTextures);
}

void XMASMAIN::MoveScene(double seconds) {
    frameTime = seconds;
    sceneTime += seconds;
    MoveReindeers();
    MoveSleigh();
    MoveSparkles();
    AnimControl();
    if (santa) santa->Update(frameTime);
    if (elf) elf->Update(frameTime);
    if (targetHouse == -1) ThrowPresents();
    MovePresents();
    MoveBackground();
}

void XMASMAIN::DrawScene() {
    DrawBackground();
    DrawSleigh();
    if (santa) santa->Draw();
    if (heldPresent.active != 0 && santa && santa->joints.size() > santa::kHandMinusX) {
        const std::size_t model = static_cast<std::size_t>(heldPresent.modelIndex);
        const std::size_t texture = static_cast<std::size_t>(heldPresent.textureIndex);
        glPushMatrix();
        glTranslatef(santa->position.x, santa->position.y, santa->position.z);
        glMultMatrixd(santa->joints[santa::kHandMinusX].absolute.m);
        glTranslatef(santa::kPresentOffset.x, santa::kPresentOffset.y, santa::kPresentOffset.z);
        if (texture < presentTextures.size()) glBindTexture(GL_TEXTURE_2D, presentTextures[texture].texID);
        if (model < presentLists.size()) glCallList(presentLists[model]);
        glPopMatrix();
    }
    if (elf) elf->Draw();
    DrawPresents();
    DrawReindeers();
    DrawSnow();
    DrawSparkles();
    DrawAllSmoke();
    DrawReigns();
}
