#include "scene/xmasmain.h"

// PLACEHOLDER: replaced by the element's real code before this branch is merged.

void XMASMAIN::MoveCamera() {}
