// velapack: the installer package builder.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/velapack/Velapack.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string out, err;
    int status = velapack::Run(args, out, err);
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    return status;
}
