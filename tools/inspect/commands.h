// frostvale-inspect sub-commands. Each gets the arguments after its name,
// prints its report on stdout, errors on stderr, and returns the exit status.
#pragma once

#include <string>
#include <vector>

using Args = std::vector<std::string>;

int InspectLumps(const Args& args);
int InspectImage(const Args& args);
int InspectModel(const Args& args);
int InspectPose(const Args& args);
int InspectCountdown(const Args& args);
int InspectRender(const Args& args);
int InspectSheet(const Args& args);
int InspectCheck(const Args& args);
int InspectMidi(const Args& args);
int InspectPlay(const Args& args);
int InspectClouds(const Args& args);

// Shared helpers.
int UsageError(const char* usage);
bool ParseInt(const std::string& text, long long min, long long max, long long* out);
bool ParseDouble(const std::string& text, double* out);
