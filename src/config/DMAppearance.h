#pragma once

#include <optional>
#include <string>

namespace harbormind {

// How the window looks: always light, always dark, or as the desktop's colour scheme says.
enum class DMAppearance { light, dark, system };

// The stored word for each look, and back; an unknown word is none.
std::string appearanceWord(DMAppearance appearance);
std::optional<DMAppearance> appearanceNamed(const std::string& word);

}  // namespace harbormind
