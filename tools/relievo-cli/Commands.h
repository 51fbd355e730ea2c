#pragma once
// The relievo-cli commands. Each takes the words after its own name and
// returns the process exit status; errors are one line on stderr.
#include <string>
#include <vector>

namespace rvcli {

using Args = std::vector<std::string>;

int RunBackground(const Args& args);
int RunRandomTile(const Args& args);
int RunGenerate(const Args& args);
int RunPaint(const Args& args);

} // namespace rvcli
