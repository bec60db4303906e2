#pragma once
// One function per scenery object; each writes its mesh, material file and
// textures below root and returns false on failure.
#include <string>

namespace assetgen::scenery {
bool makeWoodTable(const std::string& root);
bool makePlasticTable(const std::string& root);
bool makeSkyDome(const std::string& root);
bool makeLetterBlocks(const std::string& root);
bool makeBall(const std::string& root);
bool makeToiletPaper(const std::string& root);
bool makeGlass(const std::string& root);
bool makeConsole(const std::string& root);
bool makePipe(const std::string& root);
bool makeTrophy(const std::string& root);
bool makeParkedCar(const std::string& root);
bool makeLaptop(const std::string& root);
} // namespace assetgen::scenery
