// Stands in for the system <GL/glu.h> while the math core compiles.
#error "the math core builds without GL; GL calls belong in math/frustum_gl.cpp (fv_math_gl)"
