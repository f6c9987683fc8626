// Filled by the tunes of this group; each melody is a static of this file.
#include "tools/bake/music/carol.h"

std::vector<Arrangement> Originals() { return {}; }
