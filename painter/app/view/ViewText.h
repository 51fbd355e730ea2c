#pragma once
// Texts of the drawing view's dialogs and paths: the program's folder from
// its own path, the numbers of the settings dialog, the names of the save
// dialogs and the paths they make. GB2312 texts are stepped through by
// character (text/Gb2312.h): a double-byte character's second byte may
// equal '\'.
#include <string>
#include <string_view>

namespace rv {

// Everything before the last '\' of a full program path ("C:\Relievo" for
// "C:\Relievo\Relievo.exe"); empty when the path holds no '\'.
std::string FolderOfPath(std::string_view path);

// The settings dialog's reading of an edit: at most its first maxChars
// characters, decimal (leading blanks skipped, an optional sign, then digits
// up to the first non-digit); no digits give 0. "12345" gives 1234 with four
// characters, letters give 0.
int ReadDialogNumber(std::string_view text, std::size_t maxChars = 4);

// Why a typed save name cannot be used, or nullptr when it can: empty, too
// long for the save path, or holding a character no file name may hold
// (\ / : * ? " < > | or a control character), or a device name (CON, NUL,
// COM1, ...), which would write to the device instead of a file.
const char* SaveNameProblem(std::string_view name);

// ".\result\NAME.bmp" or ".\sample\NAME.bmp".
std::string SavePath(bool stereogram, std::string_view name, bool png = false);

} // namespace rv
