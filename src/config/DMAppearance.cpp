#include "config/DMAppearance.h"

namespace harbormind {

std::string appearanceWord(DMAppearance appearance) {
    switch (appearance) {
        case DMAppearance::light: return "light";
        case DMAppearance::dark: return "dark";
        case DMAppearance::system: break;
    }
    return "system";
}

std::optional<DMAppearance> appearanceNamed(const std::string& word) {
    for (DMAppearance appearance : {DMAppearance::light, DMAppearance::dark, DMAppearance::system}) {
        if (appearanceWord(appearance) == word) {
            return appearance;
        }
    }
    return std::nullopt;
}

}  // namespace harbormind
