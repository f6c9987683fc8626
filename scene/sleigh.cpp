#include "scene/xmasmain.h"

// PLACEHOLDER: replaced by the element's real code before this branch is merged.

bool XMASMAIN::SetupSleigh() { return true; }
void XMASMAIN::MoveSleigh() {}
void XMASMAIN::DrawSleigh() {}
