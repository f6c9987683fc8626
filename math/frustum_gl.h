// The one place the math library meets GL: filling the frustum table from the
// current context's matrices. It is a target of its own, so the vectors,
// matrices and the table build and test without GL.
#pragma once

#include "math/frustum.h"

// Reads GL_PROJECTION_MATRIX and GL_MODELVIEW_MATRIX. Needs a current context.
void ExtractFrustum();
