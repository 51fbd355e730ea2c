#include "installer/uninstall/SilentUninstall.h"

namespace vela {

bool TakeSilentSwitch(std::string& argument)
{
    if (argument.size() < 3 || argument[0] != '/' || (argument[1] != 'S' && argument[1] != 's') ||
        (argument[2] != ' ' && argument[2] != '\t'))
        return false;
    std::size_t start = 3;
    while (start < argument.size() && (argument[start] == ' ' || argument[start] == '\t')) ++start;
    std::string rest = argument.substr(start);
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') rest = rest.substr(1, rest.size() - 2);
    argument = rest;
    return true;
}

} // namespace vela
