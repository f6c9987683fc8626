// The village: a double row of houses along the flight line that travels
// past with the world, recycled 400 units behind to the far end with a new
// look (the moment a delivery target may be chosen), and the chimney smoke.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <string>

#include "assets/ms3d.h"
#include "assets/resfile.h"
#include "assets/resource_contract.h"
#include "math/frustum.h"
#include "scene/xmasmain.h"

namespace {

constexpr const char* kHouseFile = kHouseModels[0].file;
constexpr int kChimneyJoint = kHouseChimneyJoint;
constexpr float kVillageBack = -400.0f;
constexpr float kVillageFront = 400.0f;
constexpr float kHouseCullRadius = 25.0f;
constexpr int kSmokeImage = scene_image::kGlow;

// Even houses on the -x side, odd on +x, 20 to 219.9 units off the line.
float RandomHouseX(int index) {
    const int r = std::rand() % 2000;
    const float x = static_cast<float>(r) / 10.0f + 20.0f;
    return index % 2 == 0 ? -x : x;
}

// Model, picture, turn and chimney of a house, drawn in that order.
void RandomHouseLook(ONEHOUSE* house, const VECTOR3D chimneyOffsets[2]) {
    house->model = std::rand() % 2;
    house->texture = std::rand() % 5;
    house->angle = static_cast<float>((std::rand() % 4) * 90);
    house->chimney = chimneyOffsets[house->model];
    Rotate(&house->chimney, 0.0f, house->angle, 0.0f);
}

// One model lump: scaled, posed, its chimney top read from joint 1 and the
// model compiled into a display list; `reach` grows to hold it.
bool LoadHouseModel(RESFILE* file, const ModelRef& house, VECTOR3D* chimney, GLuint* list, float* reach,
                    SetupError* error) {
    const int lump = house.lump;
    MS3D model;
    if (!ReadModelLump(file, kHouseFile, lump, &model, error)) return false;
    if (model.numJoints <= kChimneyJoint) {
        return NoteFailure(error, {.file = kHouseFile,
                                   .what = "model " + std::to_string(lump) + " has " +
                                           std::to_string(model.numJoints) + " joints, needs " +
                                           std::to_string(kChimneyJoint + 1) + " (joint 1 is the chimney top)"});
    }
    model.Scale(house.scale);
    *reach = std::max(*reach, ModelReach(model));
    model.InitialSetup();
    model.UpdatePoints();
    *chimney = MatrixPointMultiply(model.skeleton[kChimneyJoint].absolute, VECTOR3D{0.0f, 0.0f, 0.0f});
    // Each group in its material: the roof snow's carries the snow's blue light.
    *list = CompileDisplayList([&model] {
        for (int g = 0; g < model.numGroups; ++g) model.DrawGroupInMaterial(g);
    });
    if (*list == 0) {
        return NoteFailure(error, {.file = kHouseFile, .what = "no display list for model " + std::to_string(lump)});
    }
    return true;
}

}  // namespace

// Loads the house models and their pictures, turns the wind and
// places the village from z = -400 forwards. A village of no houses is
// refused: the spacing and the presents' fallback target divide by the count.
bool XMASMAIN::SetupHouses() {
    Rotate(&smokeWind, 0.0f, static_cast<float>(std::rand() % 360), 0.0f);
    if (houseCount <= 0) {
        return NoteFailure(Error(), {.file = "houses", .what = "the village needs at least 1 house, the setting gives " +
                                                              std::to_string(houseCount)});
    }
    try {
        houses.assign(static_cast<std::size_t>(houseCount), ONEHOUSE{});
    } catch (const std::bad_alloc&) {
        ERRORCLOSE(Error(), "Error allocating memory!");
        return false;
    }

    const std::string path = resourcePath + kHouseFile;
    RESFILE file;
    if (!file.Open(path.c_str(), Error())) return false;
    const int needed = kHouseModelsFar[kHouseModelCount - 1].lump + 1;
    if (file.LumpCount() < needed) {
        return NoteFailure(Error(), {.file = kHouseFile,
                                     .what = "has " + std::to_string(file.LumpCount()) + " lumps, needs " +
                                             std::to_string(needed) +
                                             " (two models, five pictures, the two models in low detail)"});
    }
    for (int i = 0; i < kHouseImages; ++i) {
        const int lump = i + kFirstHouseImage;
        if (!LoadImageLump(&file, lump, &houseTextures[i], context, kHouseFile)) return false;
    }
    houseReach = 0.0f;
    for (int k = 0; k < kHouseModelCount; ++k) {
        if (!LoadHouseModel(&file, kHouseModels[k], &chimneyOffsets[k], &houseLists[k], &houseReach, Error())) return false;
        // The far model's chimney is the near one's: only the near offset is kept.
        VECTOR3D farChimney;
        if (!LoadHouseModel(&file, kHouseModelsFar[k], &farChimney, &houseListsFar[k], &houseReach, Error())) return false;
    }

    const double spacing = kVillageFront / static_cast<double>(houseCount);
    for (int i = 0; i < houseCount; ++i) {
        ONEHOUSE& house = houses[static_cast<std::size_t>(i)];
        house.position.x = RandomHouseX(i);
        house.position.y = kFootingLevel;
        house.position.z = static_cast<float>(i * (spacing + spacing) + kVillageBack);
        RandomHouseLook(&house, chimneyOffsets);
        house.smoking = std::rand() % 4 == 0;
        if (!showSmoke) house.smoking = false;
        house.smokeTimer = 0.0f;
    }
    file.Close();
    return true;
}

// Every frame, first of the background: turns the wind, moves the village
// with the world, recycles what fell behind (perhaps choosing it as the next
// delivery target) and puffs the smoke. No GL.
void XMASMAIN::MoveHouses() {
    Rotate(&smokeWind, 0.0f, static_cast<float>(5.0 * frameTime), 0.0f);
    for (int i = 0; i < static_cast<int>(houses.size()); ++i) {
        ONEHOUSE& house = houses[static_cast<std::size_t>(i)];
        house.position = AddVectors(house.position, ScaleVector(worldVelocity, frameTime));
        if (house.position.z < kVillageBack) {
            house.position.x = RandomHouseX(i);
            house.position.z = kVillageFront;
            RandomHouseLook(&house, chimneyOffsets);
            house.smoking = std::rand() % 10 == 0;
            house.smokeTimer = 0.0f;
            if (!showSmoke) house.smoking = false;

            if (targetHouse == -1 && animTimer < 0.0f && house.position.x > -100.0f && house.position.x < 100.0f &&
                handPresent == -1) {
                targetHouse = i;
                const VECTOR3D aim = AddVectors(AddVectors(house.position, house.chimney), kApproachAimFromChimney);
                const VECTOR3D d = SubtractVectors(worldOffset, aim);
                speedLimit.x = std::fabs(d.x) / 14.0f;
                speedLimit.y = std::fabs(d.y) / 14.0f;
                NewState(ANIM_APPROACH);
            }
        }
        if (house.smoking) house.MoveSmoke(frameTime, smokeWind);
    }
}

// At most one puff of four particles per frame, however long the frame; each
// lives 3 s, grows by 1 unit/s and is bent by the wind's horizontal part.
void ONEHOUSE::MoveSmoke(double frameTime, VECTOR3D wind) {
    if (!smoking) return;
    const float dt = static_cast<float>(frameTime);
    smokeTimer -= dt;
    if (smokeTimer <= 0.0f) {
        smokeTimer = 0.2f;
        int born = 0;
        for (ONEPARTICLE& puff : particles) {
            if (born == 4) break;
            if (puff.alpha > 0.0f) continue;
            puff.alpha = 0.75f;
            puff.size = 0.5f;
            puff.position.x = chimney.x + static_cast<float>(std::rand() % 20 - 10) / 20.0f;
            puff.position.y = chimney.y + static_cast<float>(std::rand() % 20 - 10) / 10.0f;
            puff.position.z = chimney.z + static_cast<float>(std::rand() % 20 - 10) / 20.0f;
            puff.velocity.x = static_cast<float>(std::rand() % 20 - 10) / 10.0f;
            puff.velocity.y = static_cast<float>(std::rand() % 40 - 20) / 10.0f + 5.0f;
            puff.velocity.z = static_cast<float>(std::rand() % 20 - 10) / 10.0f;
            ++born;
        }
    }
    for (ONEPARTICLE& puff : particles) {
        if (puff.alpha <= 0.0f) continue;
        puff.alpha -= dt * 0.25f;
        puff.velocity.x += dt * wind.x;
        puff.velocity.z += dt * wind.z;
        puff.size += dt;
        puff.position = AddVectors(puff.position, ScaleVector(puff.velocity, dt));
    }
}

// The houses that may be seen, each from its model's display list, in low
// detail once the whole house is past the fog's start.
void XMASMAIN::DrawHouses() {
    for (const ONEHOUSE& house : houses) {
        if (!SphereInFrustum(frustum, house.position, kHouseCullRadius)) continue;
        const GLuint* lists = PastFogStart(house.position, houseReach) ? houseListsFar : houseLists;
        glPushMatrix();
        glTranslatef(house.position.x, house.position.y, house.position.z);
        glRotatef(house.angle, 0.0f, 1.0f, 0.0f);
        glBindTexture(GL_TEXTURE_2D, houseTextures[house.texture].texID);
        glCallList(lists[house.model]);
        glPopMatrix();
    }
}

// All smoke of all houses in one quad batch with one texture, unsorted and
// without depth writes, so puffs never hide each other.
void XMASMAIN::DrawAllSmoke() {
    if (!showSmoke || houses.empty() || static_cast<int>(textures.size()) <= kSmokeImage) return;
    const MATRIX basis = MatrixAngleBetweenVectors(cameraTarget, cameraEye);
    VECTOR3D corners[4];
    for (int c = 0; c < 4; ++c) corners[c] = MatrixRotatePoint(basis, kQuad[c].at);

    std::size_t puffs = 0;
    for (const ONEHOUSE& house : houses) puffs += house.smoking ? kSmokePerHouse : 0;
    STREAM_VERTEX* to = smokeStream.Map(4 * puffs);
    if (to == nullptr) return;
    std::size_t n = 0;
    for (const ONEHOUSE& house : houses) {
        if (!house.smoking) continue;
        for (const ONEPARTICLE& puff : house.particles) {
            if (puff.alpha <= 0.0f) continue;
            const VECTOR3D centre = AddVectors(house.position, puff.position);
            if (!SphereInFrustum(frustum, centre, puff.size)) continue;
            for (int c = 0; c < 4; ++c) {
                to[n++] = {centre.x + corners[c].x * puff.size, centre.y + corners[c].y * puff.size,
                           centre.z + corners[c].z * puff.size, kQuad[c].s, kQuad[c].t, 1.0f, 1.0f, 1.0f, puff.alpha};
            }
        }
    }
    DrawParticleQuads(&smokeStream, textures[kSmokeImage].texID, n);
}
