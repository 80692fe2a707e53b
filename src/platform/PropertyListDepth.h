#pragma once

#include <cstddef>
#include <string_view>

namespace harbormind {

// How deeply the arrays and dictionaries of a property list (XML, binary, JSON or OpenStep
// form) nest, read without building it: a parser that builds and frees a list nested a few
// hundred thousand levels deep runs out of stack.
class PropertyListDepth {
public:
    // Deeper than anything this program writes or reads by a wide margin.
    static constexpr std::size_t limit = 512;

    // False when the nesting goes deeper than `maximum`, or a binary list refers to itself.
    static bool isWithin(std::string_view bytes, std::size_t maximum = limit);

private:
    static bool xmlWithin(std::string_view bytes, std::size_t maximum);
    static bool binaryWithin(std::string_view bytes, std::size_t maximum);
    static bool bracketsWithin(std::string_view bytes, std::size_t maximum);
};

}  // namespace harbormind
