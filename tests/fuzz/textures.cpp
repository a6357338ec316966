#include "FuzzSupport.h"
#include "render/TextureManager.h"

// No GL context here: every texture id comes back 0, so the list is read and each pair
// handed to the manager without anything being decoded or uploaded. The decoders have
// targets of their own.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeFile("textures.dat", data, size);
    TextureManager& textures = TextureManager::instance();
    textures.clear();
    textures.loadList("textures.dat");
    return 0;
}
