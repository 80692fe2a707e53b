#pragma once

#include <string>
#include <vector>

namespace harbormind {

// Fills the placeholders of the window's texts: "%@" takes a text, "%d" an integer. Every
// occurrence is replaced; a placeholder inside the inserted value is left alone.
class DMTextFormat {
public:
    static std::string withText(const std::string& format, const std::string& value);
    static std::string withInteger(const std::string& format, long long value);
    // Fills the "%@" placeholders one by one with `values`, in order.
    static std::string withTexts(const std::string& format, const std::vector<std::string>& values);
};

}  // namespace harbormind
