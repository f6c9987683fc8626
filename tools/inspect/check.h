// `check`: a resource folder against the contract the engine relies on. Each
// row of the table in checks.cpp is one printed line, `ok FILE NAME: detail`
// or `FAIL FILE NAME: detail`. A missing file is one FAIL line and its other
// rows are skipped.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "assets/resfile.h"
#include "assets/texture.h"
#include "tools/inspect/subject.h"

struct Outcome {
    bool ok = false;
    std::string detail;
};

// The folder's files, opened and decoded once however many rows ask. No GL.
class Folder {
public:
    explicit Folder(std::string dir);

    const std::string& Dir() const { return dir_; }
    std::string Path(const std::string& file) const { return dir_ + file; }
    bool Exists(const std::string& file) const;
    // The file's directory, or null when it is not a valid lump file.
    const RESFILE* Lumps(const std::string& file);
    // Lump `lump` decoded as TGA, or null with `why` set.
    const Texture* Image(const std::string& file, int lump, std::string* why);
    // The model at `lump` prepared as the scene prepares it (contract.h),
    // without textures, or null with `why` set.
    Subject* Model(const std::string& file, int lump, std::string* why);

private:
    std::string dir_;
    std::map<std::string, std::unique_ptr<RESFILE>> files_;
    std::map<std::pair<std::string, int>, std::unique_ptr<Texture>> images_;
    std::map<std::pair<std::string, int>, std::string> imageErrors_;
    std::map<std::pair<std::string, int>, std::unique_ptr<Subject>> models_;
    std::map<std::pair<std::string, int>, std::string> modelErrors_;
};

using CheckFn = std::function<Outcome(Folder& folder, const std::string& file)>;

struct CheckRow {
    std::string file;  // relative to the folder; "music/" for the tunes
    std::string name;
    CheckFn run;
};

// Every row, grouped by file in the order they are reported.
const std::vector<CheckRow>& CheckRows();

// Runs every row against `dir`, printing one line each to `out`. Returns the
// number of FAIL lines.
int RunChecks(const std::string& dir, std::FILE* out);
