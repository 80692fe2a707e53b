#pragma once

namespace harbormind {

enum class ScriptPrivilege { User, Administrator };

}  // namespace harbormind
