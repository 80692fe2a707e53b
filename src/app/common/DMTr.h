#pragma once

#include <QString>

namespace harbormind {

// What a person reads for one of the window's texts. The texts in the code are the system's own
// words (some are keys, some keep old misspellings); the translation catalogue maps each to the
// words to show, corrected English by default. Every text goes through one context, so the same
// text reads the same wherever the window shows it.
class DMTr {
public:
    static constexpr const char* context = "Harbormind";

    // The translation of `source`, UTF-8; the pointer stays valid while the program runs, so it
    // can stand wherever the source text stood. `source` itself when nothing translates it.
    static const char* text(const char* source);
    static QString qtext(const char* source);
};

}  // namespace harbormind
