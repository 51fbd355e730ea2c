// String resources as GB2312 texts.
#include "win32/framework/Wnd.h"

#include "win32/platform/Text.h"

namespace fw {

std::string LoadText(UINT id)
{
    const wchar_t* text = nullptr;
    const int n = LoadStringW(ResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (n <= 0 || !text) return {};
    return w32::Narrow(std::wstring_view(text, static_cast<std::size_t>(n)));
}

} // namespace fw
