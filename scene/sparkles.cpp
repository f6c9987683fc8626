#include "scene/xmasmain.h"

// PLACEHOLDER: replaced by the element's real code before this branch is merged.

void XMASMAIN::NewSparkles(int, VECTOR3D) {}
void XMASMAIN::MoveSparkles() {}
void XMASMAIN::DrawSparkles() {}
void XMASMAIN::DoNoseGlow(VECTOR3D) {}
