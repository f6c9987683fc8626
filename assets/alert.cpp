#include "assets/alert.h"

#include <cstdio>

void MessageBox(const EngineContext* owner, const char* message, const char* title) {
    if (owner != nullptr && owner->alert) {
        owner->alert(title, message);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", title, message);
}
