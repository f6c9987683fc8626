#include "scene/xmasmain.h"

// PLACEHOLDER: replaced by the element's real code before this branch is merged.

bool XMASMAIN::SetupSky() { return true; }
bool XMASMAIN::SetupStars() { return true; }
bool XMASMAIN::SetupGround() { return true; }
void XMASMAIN::MoveBackground() {}
void XMASMAIN::MoveSky() {}
void XMASMAIN::ResetGround() {}
void XMASMAIN::DrawBackground() {}
void XMASMAIN::DrawSky() {}
void XMASMAIN::DrawStars() {}
void XMASMAIN::CleanupBackground() {}
void XMASMAIN::GenerateClouds(GLuint, int, int, int, float) {}
void XMASMAIN::SmoothTex(int, unsigned char*, const unsigned char*) {}
void XMASMAIN::CopyAndEnlarge(const unsigned char*, unsigned char*, int, int, int) {}
unsigned char XMASMAIN::CloudExpCurve(unsigned char, int, float) { return 0; }
