#pragma once

// The numbers objects exchange through Object::message.
enum Message : int {
    Hit = 0,          // from's Attack touched the receiver's Body
    HitLanded = 1,    // the receiver's Attack touched from's Body
    Bump = 2,         // Solid regions of both touch
    PickupTouch = 3,  // the receiver's Reach touches from's Pickup
    Removed = 4,      // from leaves the world without being deleted: drop references to it
    Explosion = 7,    // from (a shot head) exploded at its position
};
