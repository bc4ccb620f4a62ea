// The OpenGL headers of the fixed-function renderer (1.x with the 1.2 pixel
// formats and the S3TC enums).
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
