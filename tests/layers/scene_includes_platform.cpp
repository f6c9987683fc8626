// Compiled as a scene source: platform/ must be out of its sight.
#include "scene/xmasmain.h"
#include "platform/signals.h"
