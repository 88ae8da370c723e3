#pragma once
// The program without windows: importing recipes into the catalogue and
// exporting cookbooks from it, from a shell or a script, on a machine with
// no display at all. Decided before any application object is made.
#include <optional>

// The exit code when the arguments ask for the command line (--import,
// --export, --help), or nothing when the program is to start as usual.
std::optional<int> runCommandLine(int argc, char **argv);
