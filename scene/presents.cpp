#include "scene/xmasmain.h"

// PLACEHOLDER: replaced by the element's real code before this branch is merged.

bool XMASMAIN::SetupPresents() { return true; }
void XMASMAIN::ThrowPresents() {}
void XMASMAIN::MovePresents() {}
void XMASMAIN::DrawPresents() {}
