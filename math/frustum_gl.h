// The one place the math library meets GL: reading the frustum from the
// current context's matrices. It is a target of its own, so the vectors,
// matrices and the planes build and test without GL.
#pragma once

#include "math/frustum.h"

// Reads GL_PROJECTION_MATRIX and GL_MODELVIEW_MATRIX. Needs a current context.
FrustumPlanes ExtractFrustum();
