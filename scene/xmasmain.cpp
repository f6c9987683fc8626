#include "scene/xmasmain.h"

#include <GL/gl.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "assets/ms3d.h"
#include "assets/resfile.h"
#include "assets/resource_contract.h"

namespace {
constexpr std::size_t kSceneImages = scene_image::kCount;

// The hands the engine reads by joint number: Santa's (reins and the present
// he holds) and the elf's (the presents he throws).
constexpr int kSantaJointsNeeded = std::max(santa::kHandPlusX, santa::kHandMinusX) + 1;
constexpr int kElfJointsNeeded = std::max(elf::kHand1, elf::kHand2) + 1;

// Animation templates: reindeer, Santa, elf.
constexpr ModelRef kAnimModels[3] = {kReindeerModel, kSantaModel, kElfModel};

bool NeedJoints(SetupError* error, const char* file, int has, int needs) {
    if (has >= needs) return true;
    return NoteFailure(error, {.file = file,
                               .what = "has " + std::to_string(has) + " joints, needs " + std::to_string(needs)});
}

template <class T>
void ReleaseLastToFirst(std::vector<T>* items) {
    while (!items->empty()) items->pop_back();
    items->shrink_to_fit();
}
}  // namespace

XMASMAIN::XMASMAIN(EngineContext* engineContext) : context(engineContext) {
    for (PRESENT& present : presents) present.stage = kPresentUnused;
    heldPresent.stage = kPresentUnused;
}

bool ReadModelLump(RESFILE* file, const std::string& name, int lump, MS3D* model, SetupError* error) {
    SetupError why;
    if (lump >= file->LumpCount()) {
        why = {.file = name, .what = "has " + std::to_string(file->LumpCount()) + " lumps, needs lump " +
                                     std::to_string(lump)};
    } else if (file->SeekLump(lump, &why) && ReadModelLump(file, lump, model, &why)) {
        return true;
    }
    // The scene speaks of its files by name, where the readers give the path.
    if (why.byReader) {
        why.file = name;
        why.byReader = false;
    }
    return NoteFailure(error, std::move(why));
}

float ModelReach(const MS3D& model) {
    float reach = 0.0f;
    for (const MS3D_VERTEX& v : model.vertices) reach = std::max(reach, static_cast<float>(VectorLength(v.position)));
    return reach;
}

std::optional<double> XMASMAIN::ViewDepth(VECTOR3D origin) const {
    const VECTOR3D view = SubtractVectors(cameraTarget, cameraEye);
    const double length = VectorLength(view);
    if (!(length > 0.0)) return std::nullopt;
    const VECTOR3D offset = SubtractVectors(origin, cameraEye);
    return (offset.x * view.x + offset.y * view.y + offset.z * view.z) / length;
}

bool XMASMAIN::PastFogStart(VECTOR3D origin, float reach) const {
    const std::optional<double> depth = ViewDepth(origin);
    return depth && *depth - reach > inputs.farDetailDepth;
}

bool XMASMAIN::LoadFarCharacter(const ModelRef& far, const ANIMATIONTEMPLATE& templ, MS3D* model) {
    const std::string path = resourcePath + far.file;
    RESFILE res;
    if (!res.Open(path.c_str(), Error()) || !ReadModelLump(&res, far.file, far.lump, model, Error())) return false;
    model->Scale(far.scale);
    model->InitialSetup();
    if (model->numJoints != templ.numJoints) {
        return NoteFailure(Error(), {.file = far.file, .lump = far.lump,
                                     .what = "has " + std::to_string(model->numJoints) + " joints, the model " +
                                             std::to_string(templ.numJoints)});
    }
    return true;
}

bool XMASMAIN::DrawCharacterFar(const ONEMODEL& model, float reach) const {
    // Every vertex lies within its limb's reach of its joint.
    double furthest = 0.0;
    for (const BASICJOINT& j : model.joints) {
        const MATRIX& a = j.absolute;
        furthest = std::max(furthest, std::sqrt(a[12] * a[12] + a[13] * a[13] + a[14] * a[14]));
    }
    const double r = reach + furthest;
    if (PastFogStart(model.position, static_cast<float>(r))) return true;
    if (inputs.lightPictureLines <= 0) return false;
    const std::optional<double> depth = ViewDepth(model.position);
    // The sphere's width in lines under the frame driver's 45-degree field of view.
    const double halfFovTan = 0.41421356237309503;
    return depth && *depth > r && r * inputs.lightPictureLines < kCharacterFarLines * *depth * halfFovTan;
}

void XMASMAIN::DrawCharacter(ONEMODEL& model, ONEMODEL* far, float reach) {
    ONEMODEL* drawn = &model;
    if (far != nullptr && far->numJoints == model.numJoints && DrawCharacterFar(model, reach)) {
        drawn = far;
        far->position = model.position;
        far->orientation = model.orientation;
        // The blink shows on whichever model is drawn.
        if (far->texturesSwapped != model.texturesSwapped) {
            far->texturesSwapped = model.texturesSwapped;
            if (far->numMaterials > 1) std::swap(far->materials.front().textureId, far->materials.back().textureId);
        }
    }
    drawn->Skin(model.joints);
    drawn->Draw();
}

void XMASMAIN::DrawParticleQuads(VERTEX_STREAM* stream, GLuint texture, std::size_t vertices) {
    if (stream->Unmap()) {
        glEnable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glDepthMask(GL_FALSE);
        glBindTexture(GL_TEXTURE_2D, texture);
        stream->Draw(GL_QUADS, 0, vertices);
        stream->Done();
        glDepthMask(GL_TRUE);
        glEnable(GL_LIGHTING);
        glDisable(GL_BLEND);
    }
    // The colour array leaves the current colour undefined: white again, as
    // every element leaves it.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

bool XMASMAIN::LoadModelLump(const char* file, MS3D* model) const {
    const std::string path = resourcePath + file;
    RESFILE res;
    if (!res.Open(path.c_str(), Error()) || !res.SeekLump(0, Error())) return false;
    SetupError why;
    if (ReadModelLump(&res, 0, model, &why)) return true;
    // These models' refusals have always read `assets: "P": lump 0: ...`, a
    // colon more than a loader's; the line a user sees stays as it was.
    if (why.quotesReader) {
        why.file = "assets: \"" + path + "\"";
        why.byReader = false;
    }
    return NoteFailure(Error(), std::move(why));
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

    if (!LoadTexturesFromDataFile((resourcePath + kSceneImageFile).c_str(), &textures, context)) return false;
    // A lump that is no image leaves an empty record: it counts as missing.
    std::size_t images = 0;
    while (images < textures.size() && images < kSceneImages && textures[images].texID != 0) ++images;
    if (images < kSceneImages) {
        if (textures.size() < kSceneImages) {
            return NoteFailure(Error(), {.file = "tex.brm",
                                         .what = "has " + std::to_string(textures.size()) + " images, needs 7"});
        }
        return NoteFailure(Error(), {.file = "tex.brm", .lump = static_cast<int>(images),
                                     .what = "is not an image (needs images 0-6)"});
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
        ERRORCLOSE(Error(), "Error allocating memory!");
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        MS3D model;
        if (!LoadModelLump(kAnimModels[i].file, &model)) return false;
        model.Scale(kAnimModels[i].scale);
        model.InitialSetup();
        if (!animTemplates[i].Setup(&model, Error())) return false;
    }
    return NeedJoints(Error(), kSantaModel.file, animTemplates[1].numJoints, kSantaJointsNeeded) &&
           NeedJoints(Error(), kElfModel.file, animTemplates[2].numJoints, kElfJointsNeeded);
}

bool XMASMAIN::SetupRider(int index, const ModelRef& near, const ModelRef& far, int jointsNeeded,
                          ONEMODEL* instance, ONEMODEL* farInstance, std::vector<Texture>* textures) {
    MS3D model;
    if (!LoadModel((resourcePath + near.file).c_str(), &model, textures, context, far.lump)) return false;
    model.Scale(near.scale);
    model.InitialSetup();
    ANIMATIONTEMPLATE& templ = animTemplates[index];
    if (!instance->Setup(&templ, &model, *textures, Error())) return false;
    // The instance must carry the hand joints as well as the template.
    if (!NeedJoints(Error(), near.file, instance->numJoints, jointsNeeded)) return false;
    MS3D farModel;
    if (!LoadFarCharacter(far, templ, &farModel) || !farInstance->Setup(&templ, &farModel, *textures, Error()))
        return false;
    limbReach[index] = std::max(ModelReach(model), ModelReach(farModel));
    return true;
}

bool XMASMAIN::SetupScene() {
    try {
        santa = std::make_unique<ONEMODEL>();
        elf = std::make_unique<ONEMODEL>();
        santaFar = std::make_unique<ONEMODEL>();
        elfFar = std::make_unique<ONEMODEL>();
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (animTemplates.size() < 3) return false;

    if (!SetupRider(1, kSantaModel, kSantaModelFar, kSantaJointsNeeded, santa.get(), santaFar.get(), &santaTexture))
        return false;
    santa->position = {0.0f, 0.0f, 1.7f};
    santa->SetAnimation(santa::kSeated.first, santa::kSeated.last, 200, true, false);
    if (!SetupRider(2, kElfModel, kElfModelFar, kElfJointsNeeded, elf.get(), elfFar.get(), &elfTexture)) return false;
    elf->position = {0.0f, 1.6f, -1.0f};
    elf->SetAnimation(elf::kCruise.first, elf::kCruise.last, 1000, true, false);

    // The first flight skips the entry actions of step 0 and lasts at least 20 s.
    animState = ANIM_FLYING;
    animStep = 1;
    animTimer = 20.0f;
    return true;
}

void XMASMAIN::CleanupScene() {
    santa.reset();
    elf.reset();
    santaFar.reset();
    elfFar.reset();
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
    for (VERTEX_STREAM* stream : {&snowStream, &sparkleStream, &smokeStream, &starStream}) stream->Delete();
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
    if (santa) santa->Pose(frameTime);
    if (elf) elf->Pose(frameTime);
    if (targetHouse == -1) ThrowPresents();
    MovePresents();
    MoveBackground();
}

void XMASMAIN::DrawScene() {
    DrawBackground();
    DrawSleigh();
    if (santa) DrawCharacter(*santa, santaFar.get(), limbReach[1]);
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
    if (elf) DrawCharacter(*elf, elfFar.get(), limbReach[2]);
    DrawPresents();
    DrawReindeers();
    DrawSnow();
    DrawSparkles();
    DrawAllSmoke();
    DrawReigns();
}
