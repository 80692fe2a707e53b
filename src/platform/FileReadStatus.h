#pragma once

namespace harbormind {

enum class FileReadStatus { Read, Missing, Unreadable, TooLarge };

}  // namespace harbormind
