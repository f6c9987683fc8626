#include "math/frustum_gl.h"

#include <GL/gl.h>

FrustumPlanes ExtractFrustum() {
    float projection[16];
    float modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    return ExtractFrustumFrom(projection, modelview);
}
