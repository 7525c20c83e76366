#include "DrumMode.h"

namespace hoopvane
{
const ModeTable& ModeTable::forMode (DrumMode mode) noexcept
{
    // clang-format off
    static constexpr ModeTable tables[numDrumModes] = {
        //  det LP  det HP  onset s  sus lo  sus hi  sus def  event s  ctx off  ctx rng  ctx dist  LF tight ms
        {   5000.0, 25.0,   0.10,    80.0,   500.0,  180.0,   0.08,    0.0,     0.0,     48.0,     100.0 }, // kick
        {   9000.0, 60.0,   0.03,    40.0,   350.0,  120.0,   0.10,    5.0,     8.0,     55.0,     30.0 },  // snare
        {   8000.0, 45.0,   0.08,    60.0,   400.0,  150.0,   0.06,    6.0,     20.0,    50.0,     80.0 },  // tom
    };
    // clang-format on
    return tables[toIndex (mode)];
}
} // namespace hoopvane
