// The defaults store as a user's hand or a broken disk may leave it, read by
// the settings loader. Whatever is stored, the settings come out in range.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"
#include "host/settings.h"
#include "platform/defaults_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchFile(".conf");
    if (!WriteScratch(path, data, size)) return 0;
    DefaultsStore store(path);
    std::string error;
    const ViewSettings loaded = LoadSettings(&store, &error);
    for (const SettingRow& row : SettingsTable()) {
        if (row.kind != SettingKind::Integer) continue;
        const int value = loaded.settings.*row.intField;
        if (value < row.minimum || value > row.maximum) __builtin_trap();
    }
    return 0;
}
