#pragma once

namespace harbormind {

enum class USBListKind { White, Black };

}  // namespace harbormind
