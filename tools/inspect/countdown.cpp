#include <cstdio>

#include "text/calendar.h"
#include "text/countdown.h"
#include "tools/inspect/commands.h"

// The countdown line the overlay would show at a given local time, counting
// down to Christmas Day at midnight.
int InspectCountdown(const Args& args) {
    const char* usage = "countdown \"YYYY-MM-DD HH:MM:SS\"";
    if (args.size() != 1) return UsageError(usage);
    std::tm now{};
    if (!ParseCalendarTime(args[0].c_str(), &now)) {
        std::fprintf(stderr, "frostvale-inspect: \"%s\" is not a local time of the form YYYY-MM-DD HH:MM:SS\n",
                     args[0].c_str());
        return 1;
    }
    char text[kCountDownCapacity];
    CountDownAt(now, text, sizeof text, 11, 25, 0, 0, 0);
    std::printf("%s\n", text);
    return 0;
}
