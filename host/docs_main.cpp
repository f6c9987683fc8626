// frostvale-docs OUTDIR README.md VERSION: writes frostvale.xml, frostvale.6 and
// README.html into OUTDIR. The build runs it; see host/docs.h.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "host/docs.h"

namespace {
bool Write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) std::fprintf(stderr, "frostvale-docs: cannot write \"%s\"\n", path.c_str());
    return static_cast<bool>(out);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: frostvale-docs OUTDIR README.md VERSION\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::ifstream readme(argv[2], std::ios::binary);
    if (!readme) {
        std::fprintf(stderr, "frostvale-docs: cannot read \"%s\"\n", argv[2]);
        return 1;
    }
    std::ostringstream markdown;
    markdown << readme.rdbuf();
    const bool ok = Write(dir + "/frostvale.xml", XScreenSaverXml()) && Write(dir + "/frostvale.6", ManPage(argv[3])) &&
                    Write(dir + "/README.html", ReadmeHtml(markdown.str()));
    return ok ? 0 : 1;
}
