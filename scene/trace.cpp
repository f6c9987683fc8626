#include "scene/trace.h"

#include "scene/xmasmain.h"

namespace {
int CountLiveSparkles(const XMASMAIN& scene) {
    int live = 0;
    for (const ONEPARTICLE& sparkle : scene.sparkles) live += sparkle.alpha > 0.0f;
    return live;
}
}  // namespace

int FormatTraceLine(char* out, std::size_t size, long frame, const XMASMAIN& s) {
    int active = 0;
    int flying = 0;
    for (const PRESENT& present : s.presents) {
        active += present.active != 0;
        flying += present.stage == kPresentThrown;
    }
    const double santaTime = s.santa ? s.santa->currentTime : -1.0;
    const double elfTime = s.elf ? s.elf->currentTime : -1.0;
    const VECTOR3D& lead = s.leadReindeer >= 0 && static_cast<std::size_t>(s.leadReindeer) < s.reindeer.size()
                               ? s.reindeer[static_cast<std::size_t>(s.leadReindeer)].position
                               : VECTOR3D{0.0f, 0.0f, 0.0f};
    return std::snprintf(
        out, size,
        "frame=%ld t=%.4f dt=%.4f state=%d step=%d timer=%.4f shot=%d cut=%d camtimer=%.4f eye=%.4f,%.4f,%.4f "
        "target=%.4f,%.4f,%.4f target_house=%d vel=%.4f,%.4f,%.4f offset=%.4f,%.4f,%.4f sleigh=%.4f,%.4f,%.4f "
        "lead=%.4f,%.4f,%.4f bob=%.4f ground=%.4f,%.4f,%.4f sparkles=%d presents=%d flying=%d next=%d hand=%d "
        "held=%d santa_t=%.4f elf_t=%.4f",
        frame, s.sceneTime, s.frameTime, s.animState, s.animStep, static_cast<double>(s.animTimer), s.cameraMode,
        s.cameraCut ? 1 : 0, static_cast<double>(s.cameraTimer), s.cameraEye.x, s.cameraEye.y, s.cameraEye.z,
        s.cameraTarget.x, s.cameraTarget.y, s.cameraTarget.z, s.targetHouse, s.worldVelocity.x, s.worldVelocity.y,
        s.worldVelocity.z, s.worldOffset.x, s.worldOffset.y, s.worldOffset.z, s.sleighPos.x, s.sleighPos.y,
        s.sleighPos.z, lead.x, lead.y, lead.z, static_cast<double>(s.bobHeight), s.groundScroll.x, s.groundScroll.y,
        s.groundScroll.z, CountLiveSparkles(s), active, flying, s.nextPresent, s.handPresent, s.heldPresent.active,
        santaTime, elfTime);
}

bool TraceWriter::Open(const std::string& path) {
    Close();
    file = std::fopen(path.c_str(), "w");
    frames = 0;
    failed = false;
    return file != nullptr;
}

bool TraceWriter::Write(const XMASMAIN& scene) {
    if (file == nullptr || failed) return false;
    ++frames;
    const int length = FormatTraceLine(line, sizeof line, frames, scene);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof line) {
        failed = true;
        return false;
    }
    if (std::fputs(line, file) < 0 || std::fputc('\n', file) == EOF) failed = true;
    return !failed;
}

bool TraceWriter::Close() {
    if (file == nullptr) return !failed;
    if (std::fclose(file) != 0) failed = true;
    file = nullptr;
    return !failed;
}
