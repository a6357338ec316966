#include "FuzzSupport.h"
#include "core/CampaignProgress.h"
#include "core/DataFileName.h"

// The campaign progress file in the state folder: read, judged, set aside when damaged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeFile("progress", data, size);
    CampaignProgress progress(".");
    progress.load();
    const auto record = progress.resumable();
    if (record && (!DataFileName::isLevelName(record->levelFile) || record->number < 2)) {
        __builtin_trap();
    }
    return 0;
}
