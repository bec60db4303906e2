// assetgen OUTPUT_ROOT: writes the whole data pack below OUTPUT_ROOT.
#include <FreeImage.h>

#include <cstdio>
#include <filesystem>

#include "tools/assetgen/Generators.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen OUTPUT_ROOT\n");
        return 2;
    }
    const std::string root = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(root, ec);
    FreeImage_Initialise();
    bool ok = true;
    ok &= assetgen::generateVehicles(root);
    ok &= assetgen::generateHud(root);
    ok &= assetgen::generateScenery(root);
    ok &= assetgen::generateFont(root);
    ok &= assetgen::generateSounds(root);
    ok &= assetgen::generateConfig(root);
    FreeImage_DeInitialise();
    if (!ok) std::fprintf(stderr, "assetgen: some files could not be written\n");
    return ok ? 0 : 1;
}
