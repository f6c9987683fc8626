#include "scene/xmasmain.h"

// PLACEHOLDER: replaced by the element's real code before this branch is merged.

void XMASMAIN::AnimControl() {}
void XMASMAIN::NewState(int state) {
    animState = state;
    animStep = 0;
}
