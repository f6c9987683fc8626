// The command line: NUL-separated words, as a daemon or a shell script may
// pass them. Parsing either succeeds or names a usage error; it never faults.
#include <cstdint>
#include <string>
#include <vector>

#include "host/options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words{"frostvale"};
    std::string word;
    for (std::size_t i = 0; i < size && words.size() < 64; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word.push_back(static_cast<char>(data[i]));
        }
    }
    if (!word.empty() && words.size() < 64) words.push_back(word);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    argv.push_back(nullptr);
    const ParseResult result = ParseOptions(static_cast<int>(words.size()), argv.data(), nullptr);
    if (result.error.empty()) {
        const Options& o = result.options;
        if (o.mode == HostMode::Headless && (o.width <= 0 || o.height <= 0 || !(o.frameRate > 0))) __builtin_trap();
    }
    return 0;
}
