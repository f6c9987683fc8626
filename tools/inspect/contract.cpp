#include "tools/inspect/contract.h"

#include <span>

std::string BaseName(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

ModelUse FindModelUse(std::string_view path, int lump, bool* known) {
    const std::string name = BaseName(path);
    for (const auto& table : {std::span<const ModelUse>(kModelUses), std::span<const ModelUse>(kFarModelUses)}) {
        for (const ModelUse& use : table) {
            if (name == use.file && lump == use.lump) {
                if (known != nullptr) *known = true;
                return use;
            }
        }
    }
    if (known != nullptr) *known = false;
    return {ModelRef{"", lump, 1.0f}, Skin::MaterialOrder, 0, true, -1, false, 0.0, "model"};
}
