#pragma once

namespace harbormind {

// How an unmount treats a volume that is in use. `plain` refuses (the completion names what
// uses it); `force` detaches it even so, which only the user's explicit choice may ask for:
// programs that still write to it lose what they write.
enum class DMUnmountOption { plain, force };

}  // namespace harbormind
