#pragma once
// The bundled pictures: the background tiles back\b1.bmp ..., the sample
// depth maps, and the pictures, cursors and icons of the painter's resources
// and of its setup, made reproducibly from integer arithmetic and a fixed
// random source, so the same bytes come out on every machine.
#include <string>
#include <vector>

namespace rvassets {

struct Asset {
    std::string folder; // relative to the repository root: "back", "sample", "painter/app/res", "setup/res"
    std::string name;   // "b1.bmp"
};

// Every picture the generator makes, in the order it makes them.
std::vector<Asset> AssetList();

// Writes every picture under `root` (into the asset folders, which must
// exist). Returns false, naming the file in `failed`, when one cannot be written.
bool WriteAssets(const std::string& root, std::string& failed);

} // namespace rvassets
