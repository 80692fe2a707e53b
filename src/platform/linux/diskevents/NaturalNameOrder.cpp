#include "platform/linux/diskevents/NaturalNameOrder.h"

#include <algorithm>
#include <cctype>

namespace harbormind {
namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::size_t endOfDigits(const std::string& text, std::size_t from) {
    while (from < text.size() && isDigit(text[from])) {
        ++from;
    }
    return from;
}

// The digits without their leading zeros.
std::string numberText(const std::string& text, std::size_t from, std::size_t end) {
    std::string digits = text.substr(from, end - from);
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    return digits;
}

}  // namespace

bool NaturalNameOrder::less(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t iEnd = endOfDigits(a, i);
            std::size_t jEnd = endOfDigits(b, j);
            std::string left = numberText(a, i, iEnd);
            std::string right = numberText(b, j, jEnd);
            if (left.size() != right.size()) {
                return left.size() < right.size();
            }
            if (left != right) {
                return left < right;
            }
            i = iEnd;
            j = jEnd;
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j];
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

}  // namespace harbormind
