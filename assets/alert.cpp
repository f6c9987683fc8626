#include "assets/alert.h"

#include <cstdio>
#include <utility>

namespace {
void WriteToStderr(const char* title, const char* message) {
    std::fprintf(stderr, "%s: %s\n", title, message);
}

AlertHandler& Handler() {
    static AlertHandler handler = WriteToStderr;
    return handler;
}
}  // namespace

AlertHandler SetAlertHandler(AlertHandler handler) {
    if (!handler) handler = WriteToStderr;
    return std::exchange(Handler(), std::move(handler));
}

void MessageBox(void* /*owner*/, const char* message, const char* title, int /*flags*/) {
    Handler()(title, message);
}
