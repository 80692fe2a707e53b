#pragma once

namespace harbormind {

// How the application shows itself: with a Dock icon and main menu, or as an accessory
// without either.
enum class DMActivationPolicy { Regular, Accessory };

}  // namespace harbormind
