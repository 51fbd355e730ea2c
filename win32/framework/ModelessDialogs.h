#pragma once
// Inside the framework: the open modeless dialogs (Dialog.cpp keeps the list).
#include <windows.h>

#include <vector>

namespace fw::detail {

std::vector<HWND>& Modeless();

} // namespace fw::detail
