#pragma once
// A typical package description for the tests, and byte patterns that make
// misplaced or misordered copies visible.
#include <string>

#include "installer/package/PackageWriter.h"

namespace vela::test {

// Bytes that differ from position to position (a period of 251 never lines
// up with the 2,000-byte blocks).
inline std::string Pattern(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + seed) % 251);
    return bytes;
}

inline PackageDescription SampleDescription()
{
    PackageDescription d;
    d.displayName = "Relievo";
    d.defaultFolder = "[Program Files]\\Relievo";
    d.autoReg = {"[InstallDir]\\comp.ocx"};
    d.clearFile = {"[Windows Directory]\\old.tmp", "[InstallDir]\\obsolete.txt"};
    d.menuGroup = "Relievo";
    d.shortcuts = {{"Relievo", "[InstallDir]\\Relievo.exe", "", true},
                   {"Help", "[Windows Directory]\\hh.exe", "[InstallDir]\\readme.chm", false}};
    d.runCaption = "Start Relievo now";
    d.runCommand = "[InstallDir]\\Relievo.exe";
    d.directories = {"[InstallDir]", "[InstallDir]\\back", "[Start Menu]\\Relievo"};
    d.welcomePicture = Pattern(1000, 1);
    d.hasSplash = true;
    d.splashPicture = Pattern(3000, 2);
    d.files = {{"[InstallDir]\\Relievo.exe", '0', Pattern(5000, 3)},
               {"[InstallDir]\\back\\b1.bmp", '4', Pattern(2047, 4)},
               {"[InstallDir]\\empty.txt", '0', ""},
               {"[InstallDir]\\comp.ocx", '1', Pattern(2048, 5)},
               {"[InstallDir]\\keys.reg", '2', "[HKEY_CURRENT_USER\\Software\\Vela]\r\n\"a\"=\"b\"\r\n"}};
    d.licence = "Licence line one\nline two\r\n\nlast line";
    return d;
}

} // namespace vela::test
