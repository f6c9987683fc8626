#include "scene/xmasmain.h"

// PLACEHOLDER: replaced by the element's real code before this branch is merged.

bool XMASMAIN::SetupSnow() { return true; }
void XMASMAIN::MoveSnow() {}
void XMASMAIN::DrawSnow() {}
