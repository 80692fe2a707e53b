#include "support/CaseInsensitiveString.h"

#include "support/TextCase.h"

namespace harbormind {

CaseInsensitiveString::CaseInsensitiveString(std::string value)
    : value_(std::move(value)), caseInsensitiveValue_(TextCase::fold(value_)) {}

CaseInsensitiveString::CaseInsensitiveString(const char* value) : CaseInsensitiveString(std::string(value)) {}

}  // namespace harbormind
