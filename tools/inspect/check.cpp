#include "tools/inspect/check.h"

#include <cstdio>
#include <filesystem>

#include "assets/context.h"
#include "tools/inspect/commands.h"

Folder::Folder(std::string dir) : dir_(std::move(dir)) {
    if (!dir_.empty() && dir_.back() != '/') dir_ += '/';
}

bool Folder::Exists(const std::string& file) const {
    std::error_code ec;
    return std::filesystem::exists(Path(file), ec);
}

const RESFILE* Folder::Lumps(const std::string& file) {
    auto it = files_.find(file);
    if (it == files_.end()) {
        auto opened = std::make_unique<RESFILE>();
        if (!opened->Open(Path(file).c_str())) opened.reset();
        it = files_.emplace(file, std::move(opened)).first;
    }
    return it->second.get();
}

const Texture* Folder::Image(const std::string& file, int lump, std::string* why) {
    const auto key = std::make_pair(file, lump);
    auto it = images_.find(key);
    if (it == images_.end()) {
        auto texture = std::make_unique<Texture>();
        int alphaMode = 0;
        std::string error;
        // The decoder's own alert would repeat on stderr what the line says.
        EngineContext quiet;
        quiet.alert = [](const char*, const char*) {};
        if (!ReadImageLump(Path(file), lump, texture.get(), &alphaMode, &error, &quiet)) {
            texture.reset();
            imageErrors_[key] = error;
        }
        it = images_.emplace(key, std::move(texture)).first;
    }
    if (!it->second && why != nullptr) *why = imageErrors_[key];
    return it->second.get();
}

Subject* Folder::Model(const std::string& file, int lump, std::string* why) {
    const auto key = std::make_pair(file, lump);
    auto it = models_.find(key);
    if (it == models_.end()) {
        auto subject = std::make_unique<Subject>();
        std::string error;
        if (!subject->Load(Path(file), FindModelUse(file, lump, nullptr), {}, &error)) {
            subject.reset();
            modelErrors_[key] = error;
        }
        it = models_.emplace(key, std::move(subject)).first;
    }
    if (!it->second && why != nullptr) *why = modelErrors_[key];
    return it->second.get();
}

int RunChecks(const std::string& dir, std::FILE* out) {
    Folder folder(dir);
    int failures = 0;
    std::string skipping;  // a file found missing: its other rows are not run
    std::string current;
    for (const CheckRow& row : CheckRows()) {
        if (row.file != current) {
            current = row.file;
            skipping.clear();
            const bool present = folder.Exists(row.file);
            std::fprintf(out, "%s %s present: %s\n", present ? "ok" : "FAIL", row.file.c_str(),
                         present ? "found" : "missing");
            if (!present) {
                ++failures;
                skipping = row.file;
            }
        }
        if (skipping == row.file) continue;
        Outcome outcome;
        try {
            outcome = row.run(folder, row.file);
        } catch (const std::exception& e) {
            outcome = {false, std::string("check stopped: ") + e.what()};
        }
        if (!outcome.ok) ++failures;
        std::fprintf(out, "%s %s %s: %s\n", outcome.ok ? "ok" : "FAIL", row.file.c_str(), row.name.c_str(),
                     outcome.detail.c_str());
    }
    return failures;
}

int InspectCheck(const Args& args) {
    if (args.size() != 1) return UsageError("check DIR");
    std::error_code ec;
    if (!std::filesystem::is_directory(args[0], ec)) {
        std::fprintf(stderr, "frostvale-inspect: \"%s\" is not a folder\n", args[0].c_str());
        return 1;
    }
    return RunChecks(args[0], stdout) == 0 ? 0 : 1;
}
