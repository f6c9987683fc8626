// GL past 1.1 (framebuffer objects, shader programs) is reached only through
// the context's loader (eglGetProcAddress, SDL_GL_GetProcAddress), once the
// context exists.
#pragma once

// Sets `*entry` to what `lookup(name)` returns for that entry point; true
// when the loader had it.
template <typename Entry, typename Lookup>
bool LoadEntryPoint(const Lookup& lookup, Entry* entry, const char* name) {
    *entry = reinterpret_cast<Entry>(lookup(name));
    return *entry != nullptr;
}
