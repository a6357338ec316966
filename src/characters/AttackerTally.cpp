#include "characters/AttackerTally.h"

AttackerTally& AttackerTally::instance() {
    static AttackerTally tally;
    return tally;
}
