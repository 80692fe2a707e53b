#include <cstdint>
#include <string>

#include "platform/sim/SimScenarioParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    harbormind::SimScenarioParser::parse(text, error);
    harbormind::SimScenarioParser::parseDisk(text, error);
    harbormind::SimScenarioParser::parseAction(text, error);
    harbormind::SimScenarioParser::parseRule(text, error);
    return 0;
}
