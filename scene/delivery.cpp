// The delivery cycle: cruise, approach a roof, deliver, take off. The moves
// between cruising and approaching, and approaching and delivering, are made
// by the houses and the sleigh; this file plays the riders' animations and
// times the stay on the roof.
#include <cstdlib>

#include "assets/resource_contract.h"
#include "scene/xmasmain.h"

namespace {
// Times on Santa's animation clock (ms) within his climb to the chimney:
// when the elf starts his roof animation, and when the present appears. They
// are the frames' times as the clock has always compared them, so a run
// with a given seed repeats its every frame.
constexpr float kElfOnRoofTime = 2375.0f;
constexpr float kPresentInHandTime = 2708.3335f;
static_assert(AtFrame(kElfOnRoofTime, santa::kElfStandsFrame));
static_assert(AtFrame(kPresentInHandTime, santa::kPresentFrame));

bool Finished(const ONEMODEL& model) { return model.currentTime >= model.endTime; }
}  // namespace

void XMASMAIN::NewState(int state) {
    animState = state;
    animStep = 0;
}

void XMASMAIN::AnimControl() {
    if (!santa || !elf) return;
    switch (animState) {
        case ANIM_FLYING:
            if (animStep == 0) {
                targetHouse = -1;
                worldOffset = {0.0f, 0.0f, 0.0f};
                elf->SetAnimation(elf::kCruise.first, elf::kCruise.last, 1000, true, true);
                animTimer = static_cast<float>(30 + std::rand() % 120);
                animStep = 1;
            } else if (animStep == 1) {
                // Keeps falling below 0: the houses read it to pick a target.
                animTimer = static_cast<float>(animTimer - frameTime);
            }
            break;

        case ANIM_APPROACH:
            if (animStep == 0) {
                elf->SetAnimation(elf::kBrace.first, elf::kBrace.last, 500, false, true);
                animStep = 1;
            }
            break;

        case ANIM_DELIVER:
            switch (animStep) {
                case 0:
                    santa->SetAnimation(santa::kClimb.first, santa::kClimb.last, 300, false, true);
                    for (ONEREINDEER& deer : reindeer) deer.SetAnimation(reindeer::kStand.first, reindeer::kStand.last, 500, false, true);
                    animStep = 1;
                    break;
                case 1:
                    worldVelocity = {0.0f, 0.0f, 0.0f};
                    if (santa->currentTime >= kElfOnRoofTime) {
                        elf->SetAnimation(elf::kWatch.first, elf::kWatch.last, 1000, false, false);
                        animStep = 2;
                    }
                    break;
                case 2:
                    if (santa->currentTime >= kPresentInHandTime && heldPresent.active == 0) {
                        heldPresent.active = 1;
                        heldPresent.textureIndex = std::rand() % 10;
                        // The draw is made even without present models, so the
                        // random sequence does not depend on the file.
                        const int r = std::rand();
                        heldPresent.modelIndex = presentModelCount > 0 ? r % presentModelCount : 0;
                    }
                    if (Finished(*santa)) {
                        if (std::rand() % 2 == 0) {
                            santa->SetAnimation(santa::kLower.first, santa::kLower.last, 500, false, false);
                        } else {
                            santa->SetAnimation(santa::kDrop.first, santa::kDrop.last, 500, false, false);
                        }
                        animStep = 3;
                    }
                    break;
                case 3:
                    if (Finished(*santa)) {
                        heldPresent.active = 0;
                        animTimer = static_cast<float>(std::rand() % 100) / 10.0f;
                        animStep = 4;
                    }
                    break;
                case 4:
                    animTimer = static_cast<float>(animTimer - frameTime);
                    if (animTimer < 0.0f) {
                        elf->SetAnimation(elf::kWave.first, elf::kWave.last, 500, false, false);
                        animTimer = static_cast<float>(std::rand() % 100) / 10.0f + 5.0f;
                        animStep = 5;
                    }
                    break;
                case 5:
                    animTimer = static_cast<float>(animTimer - frameTime);
                    if (animTimer < 0.0f) {
                        santa->SetAnimation(santa::kReturn.first, santa::kReturn.last, 500, false, false);
                        animStep = 6;
                    }
                    break;
                case 6:
                    if (Finished(*santa)) {
                        santa->SetAnimation(santa::kSeated.first, santa::kSeated.last, 200, true, false);
                        NewState(ANIM_TAKEOFF);
                    }
                    break;
                default: break;
            }
            break;

        case ANIM_TAKEOFF:
            if (animStep == 0) {
                for (ONEREINDEER& deer : reindeer) deer.SetAnimation(reindeer::kGallop.first, reindeer::kGallop.last, 900 + std::rand() % 200, true, true);
                animStep = 1;
            }
            break;

        default: break;  // state 3 is never entered
    }
}
