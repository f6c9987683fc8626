#include "host/settings_window.h"

#include <SDL2/SDL.h>
#include <imgui.h>
#include <imgui_impl_opengl2.h>
#if __has_include(<imgui_impl_sdl2.h>)
#include <imgui_impl_sdl2.h>
#else
#include <imgui_impl_sdl.h>
#endif

#include <GL/gl.h>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "platform/sdl_window.h"
#include "platform/signals.h"
#include "platform/spawn.h"

namespace {
constexpr int kWidth = 520;
constexpr int kHeight = 580;  // room for one status line under the buttons
// A proportional face reads better than ImGui's built-in bitmap font; Debian ships it in fonts-dejavu-core.
constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr float kFontPixels = 17.0f;

void DrawControl(SettingsSheet* sheet, const SettingsSheet::Control& control) {
    const SettingRow& row = *control.row;
    ImGui::BeginDisabled(!control.enabled);
    ImGui::PushID(row.key);
    if (row.kind == SettingKind::Bool) {
        bool on = control.value != 0;
        if (ImGui::Checkbox(row.label, &on)) sheet->Set(row.key, on ? 1 : 0);
    } else if (row.choices != nullptr) {
        const int index = static_cast<int>(control.value);
        const char* shown = index >= 0 && index < row.choiceCount ? row.choices[index] : "";
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(row.label);
        ImGui::SameLine(150.0f);
        ImGui::SetNextItemWidth(-1.0f);
        if (ImGui::BeginCombo("##menu", shown)) {
            for (int i = 0; i < row.choiceCount; ++i) {
                const bool selected = i == index;
                if (ImGui::Selectable(row.choices[i], selected)) sheet->Set(row.key, i);
                if (selected) ImGui::SetItemDefaultFocus();
            }
            ImGui::EndCombo();
        }
    } else {
        int value = static_cast<int>(control.value);
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(row.label);
        ImGui::SameLine(150.0f);
        ImGui::SetNextItemWidth(-1.0f);
        if (ImGui::SliderInt("##count", &value, static_cast<int>(row.minimum), static_cast<int>(row.maximum), "%d",
                             ImGuiSliderFlags_AlwaysClamp)) {
            sheet->Set(row.key, value);
        }
    }
    ImGui::PopID();
    ImGui::EndDisabled();
}

// One frame of the sheet; `status` shows what the last button could not do.
void DrawSheet(SettingsSheet* sheet, std::string* status) {
    const ImGuiIO& io = ImGui::GetIO();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::Begin("Frostvale settings", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings);
    ImGui::TextUnformatted("Frostvale");
    ImGui::TextDisabled("A Christmas night over a snowy village");
    ImGui::Separator();
    ImGui::Spacing();
    for (const SettingsSheet::Control& control : sheet->Controls()) {
        DrawControl(sheet, control);
        // Group the sheet as it reads: display and music, the counts, then the scenery.
        const std::string key = control.row->key;
        if (key == "ShowCountdown" || key == "NumHouses") {
            ImGui::Spacing();
            ImGui::Separator();
            ImGui::Spacing();
        }
    }
    ImGui::Spacing();
    ImGui::Separator();
    ImGui::Spacing();
    if (ImGui::Button("Defaults")) {
        sheet->Defaults();
        status->clear();
    }
    ImGui::SameLine();
    if (ImGui::Button("Web site")) {
        std::string error;
        if (sheet->OpenWebSite(&error)) status->clear();
        else *status = error;
    }
    const float buttons = ImGui::CalcTextSize("Cancel").x + ImGui::CalcTextSize("Save").x +
                          4.0f * ImGui::GetStyle().FramePadding.x + ImGui::GetStyle().ItemSpacing.x;
    ImGui::SameLine(ImGui::GetWindowContentRegionMax().x - buttons);
    if (ImGui::Button("Cancel")) sheet->Cancel();
    ImGui::SameLine();
    if (ImGui::Button("Save")) {
        std::string error;
        if (!sheet->Save(&error)) *status = "Not saved: " + error;
    }
    if (!status->empty()) {
        ImGui::Spacing();
        ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(1.0f, 0.55f, 0.45f, 1.0f));
        ImGui::TextWrapped("%s", status->c_str());
        ImGui::PopStyleColor();
    }
    ImGui::End();
}
}  // namespace

int RunSettingsWindow(SettingsSheet* sheet) {
    std::string error;
    if (!StartSdlVideo(&error)) {
        std::fprintf(stderr, "frostvale: the settings sheet needs a display: %s\n", error.c_str());
        return 1;
    }
    auto surface = SdlWindowSurface::CreateWindow("Frostvale Settings", kWidth, kHeight, 0, false, &error);
    if (!surface || !surface->MakeCurrent()) {
        std::fprintf(stderr, "frostvale: cannot open the settings window: %s\n", error.c_str());
        StopSdlVideo();
        return 1;
    }
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing of the sheet's layout is worth a file in the user's folder
    std::error_code ec;
    if (std::filesystem::exists(kFontPath, ec)) io.Fonts->AddFontFromFileTTF(kFontPath, kFontPixels);
    ImGui::StyleColorsDark();
    ImGuiStyle& style = ImGui::GetStyle();
    style.FramePadding = ImVec2(8.0f, 4.0f);
    style.ItemSpacing = ImVec2(8.0f, 7.0f);
    style.WindowPadding = ImVec2(16.0f, 14.0f);
    style.FrameRounding = 3.0f;
    ImGui_ImplSDL2_InitForOpenGL(surface->Window(), SDL_GL_GetCurrentContext());
    ImGui_ImplOpenGL2_Init();

    std::string status;
    sheet->Open();
    while (sheet->IsOpen() && !QuitRequested()) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            ImGui_ImplSDL2_ProcessEvent(&event);
            const bool closed = event.type == SDL_QUIT ||
                                (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE);
            const bool escape = event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE &&
                                !ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId);
            if (closed || escape) sheet->Cancel();
        }
        // The opener reports only by its status, after the click has long returned.
        if (ReapFinishedChildren() > 0) status = "No browser could open " + sheet->WebAddress();
        ImGui_ImplOpenGL2_NewFrame();
        ImGui_ImplSDL2_NewFrame();
        ImGui::NewFrame();
        DrawSheet(sheet, &status);
        ImGui::Render();
        glViewport(0, 0, static_cast<int>(io.DisplaySize.x), static_cast<int>(io.DisplaySize.y));
        glClearColor(0.08f, 0.09f, 0.12f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
        surface->Present();
        // A form needs no more than this; without vsync the loop would spin a core.
        const timespec frame{0, 16'000'000};
        nanosleep(&frame, nullptr);
    }
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    surface.reset();
    StopSdlVideo();
    return 0;
}
