// SIGTERM, SIGINT and SIGHUP ask the run to end; the host loops poll the flag at
// least every frame, so the engine is cleaned up within a second.
#pragma once

void InstallQuitSignals();
bool QuitRequested();
void RequestQuit();

// From the first quit signal on, the run has `seconds` to end by itself;
// past that the process ends at once with status 0. A screen-saver daemon
// wants its hack gone as soon as the user is back, but the quit is only seen
// between frames, and one frame of a whole screen on a software rasteriser
// can take longer than the user should wait. Nothing outside the process
// needs more than its end: the X server frees the window's resources and the
// shared-memory images, the sound stream closes, copies on other screens get
// their own SIGTERM.
void EndPromptlyAfterQuit(double seconds);
// A quit as a signal asks for it, from any thread: the grace above starts now.
void RequestPromptQuit();
