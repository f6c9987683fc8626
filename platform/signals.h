// SIGTERM, SIGINT and SIGHUP ask the run to end; the host loops poll the flag at
// least every frame, so the engine is cleaned up within a second.
#pragma once

void InstallQuitSignals();
bool QuitRequested();
void RequestQuit();
