#pragma once
// The pictures a package carries for the installer's welcome page and splash
// window, made into what the installer's BMP loader draws (see
// installer/wizard/core/DibFile.h): a BMP file with the 12-byte core or the
// 40-byte information header, uncompressed, 1, 4, 8, 16, 24 or 32 bits per
// pixel.
#include <string>

namespace velapack {

// A picture the loader takes stays as it is. An uncompressed picture with a
// longer Windows information header (52 or 56 bytes, or the 108- and 124-byte
// version 4 and 5 headers) is rewritten with the 40-byte header, its colour
// table and pixels unchanged; bit fields that say no more than an
// uncompressed picture (5-5-5 for 16 bits, 8-8-8 for 32 bits, an alpha mask
// aside) count as uncompressed. False with the reason for anything else:
// not a BMP file, another header, compression, a depth or size the loader
// does not draw.
bool PrepareWizardPicture(std::string& bytes, std::string& reason);

} // namespace velapack
