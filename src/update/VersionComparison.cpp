#include "update/VersionComparison.h"

#include <cctype>

namespace harbormind {
namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Compares the digit runs starting at `i` and `j` as numbers of any length; moves past them.
int compareNumbers(const std::string& a, std::size_t& i, const std::string& b, std::size_t& j) {
    while (i < a.size() && a[i] == '0' && i + 1 < a.size() && isDigit(a[i + 1])) {
        ++i;
    }
    while (j < b.size() && b[j] == '0' && j + 1 < b.size() && isDigit(b[j + 1])) {
        ++j;
    }
    std::size_t endA = i;
    while (endA < a.size() && isDigit(a[endA])) {
        ++endA;
    }
    std::size_t endB = j;
    while (endB < b.size() && isDigit(b[endB])) {
        ++endB;
    }
    int result = 0;
    if (endA - i != endB - j) {
        result = endA - i < endB - j ? -1 : 1;
    } else {
        result = a.compare(i, endA - i, b, j, endB - j);
    }
    i = endA;
    j = endB;
    return result;
}

}  // namespace

int VersionComparison::compare(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            if (int result = compareNumbers(a, i, b, j); result != 0) {
                return result < 0 ? -1 : 1;
            }
            continue;
        }
        if (a[i] != b[j]) {
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
        }
        ++i;
        ++j;
    }
    if (i < a.size()) {
        return 1;
    }
    return j < b.size() ? -1 : 0;
}

}  // namespace harbormind
