#pragma once
// The program's pictures for its resources and for its setup: the tool-bar
// strip, the splash and about pictures, the program's icon, the tool
// cursors, the eraser-kind icons, and the setup's welcome and splash pictures. Each maker returns the
// file's bytes.
#include "tools/assets/Raster.h"

namespace rvassets {

// The tool bar: one 19 x 14 image per button, in tool-bar order, side by side
// in one 16-colour strip. Light grey (192, 192, 192) is the button face.
constexpr int kToolbarImages = 27;
constexpr int kToolbarImageWidth = 19;
constexpr int kToolbarImageHeight = 14;
Canvas ToolbarImage(int index);
Bytes ToolbarStrip();

// Splash (400 x 250) and about picture (kAboutSize square), 24-bit.
constexpr int kSplashWidth = 400, kSplashHeight = 250;
constexpr int kAboutSize = 96;
Bytes SplashPicture();
Bytes AboutPicture();

// The program's icon (Relievo.ico): 16 x 16, 32 x 32 and 48 x 48 images.
Bytes ProgramIcon();

// The tool cursors by resource number (142 to 145, 152 to 154), and the hot
// spot each one has.
struct HotSpot {
    int x, y;
};
HotSpot CursorHotSpot(int id);
Bytes ToolCursor(int id);

// The eraser-kind icons 147 (soft), 148 (circular), 149 (square), each with
// a 16 x 16 and a 32 x 32 image.
Bytes EraserIcon(int id);

// The setup's pictures, 24-bit: the welcome page's left column (164 x 314),
// and the splash window's picture. That window is 280 x 186 dialog units:
// 420 x 279 pixels with the usual Chinese dialog font, taller with a font of
// larger line height (372 pixels with the one the Wine tests use). The
// picture is 420 x 372 with its title at the top, so a shorter window cuts
// off only more of the stereogram below.
constexpr int kWelcomeWidth = 164, kWelcomeHeight = 314;
constexpr int kSetupSplashWidth = 420, kSetupSplashHeight = 372;
Bytes SetupWelcome();
Bytes SetupSplash();

} // namespace rvassets
