#include "scene/xmasmain.h"

// PLACEHOLDER: replaced by the element's real code before this branch is merged.

bool XMASMAIN::SetupHouses() { return true; }
void XMASMAIN::MoveHouses() {}
void XMASMAIN::DrawHouses() {}
void XMASMAIN::DrawAllSmoke() {}
void ONEHOUSE::MoveSmoke(double, VECTOR3D) {}
