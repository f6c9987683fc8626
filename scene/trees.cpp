#include "scene/xmasmain.h"

// PLACEHOLDER: replaced by the element's real code before this branch is merged.

bool XMASMAIN::SetupTrees() { return true; }
void XMASMAIN::MoveTrees() {}
void XMASMAIN::DrawTrees() {}
