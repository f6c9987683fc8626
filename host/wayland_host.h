// Full screen on a Wayland compositor that offers layer shell: one overlay
// surface per output, drawn by the saver's own Wayland client.
#pragma once

#include "host/hosts.h"

// Runs the saver as layer surfaces when the session is Wayland (as SDL would
// pick it), the compositor offers layer shell and --toplevel was not given;
// then true, with the run's exit status in `status`. False: nothing was
// done, the toplevel path runs instead.
bool RunWaylandLayerSaver(const RunContext& run, int* status);

// A lock program's background plays carols only when --music says so: the
// setting alone was chosen for the saver, not for the lock screen.
bool LockBackgroundPlaysCarols(const Options& options);
