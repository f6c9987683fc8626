// Compiled as a math-core source: GL must be out of its sight.
#include "math/vector.h"
#include <GL/gl.h>
