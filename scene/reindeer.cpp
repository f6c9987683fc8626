#include "scene/xmasmain.h"

// PLACEHOLDER: replaced by the element's real code before this branch is merged.

bool XMASMAIN::SetupReindeers() { return true; }
void XMASMAIN::MoveReindeers() {}
void XMASMAIN::DrawReindeers() {}
void XMASMAIN::DrawReigns() {}
