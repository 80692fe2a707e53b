#include "drivemodel/DMLocalDriveProperty.h"

#include <cstdio>

#include "drivemodel/DMDiskAccess.h"
#include "drivemodel/DMRegistrySearch.h"
#include "platform/DiskDescriptionKey.h"

namespace harbormind {
namespace {

std::optional<std::string> textDownward(RegistryEntryId entry, const char* key) {
    auto value = DMRegistrySearch::downward(entry, key);
    return value ? value->asText() : std::nullopt;
}

std::optional<std::int64_t> integerDownward(RegistryEntryId entry, const char* key) {
    auto value = DMRegistrySearch::downward(entry, key);
    return value ? value->asInteger() : std::nullopt;
}

std::optional<std::string> serialNumberAbove(RegistryEntryId media) {
    std::optional<RegistryEntryId> parent = DMRegistrySearch::parent(media);
    if (!parent) {
        return std::nullopt;
    }
    for (const char* key : {"USB Serial Number", "Serial Number"}) {
        if (auto value = DMRegistrySearch::upward(*parent, key); value && value->asText()) {
            return value->asText();
        }
    }
    return std::nullopt;
}

}  // namespace

DMLocalDriveProperty::DMLocalDriveProperty(std::string bsdName) : bsdName_(std::move(bsdName)) {}

void DMLocalDriveProperty::readFlag() {
    auto opened = DMDiskAccess::open(bsdName_);
    if (!opened) {
        return;
    }
    auto description = opened->session->copyDescription(opened->disk);
    std::optional<std::int64_t> size = description ? description->integer(DiskDescriptionKey::mediaSize) : std::nullopt;
    if (!size) {
        return;
    }
    std::optional<RegistryEntryId> media = opened->session->copyIOMedia(opened->disk);
    if (!media) {
        return;
    }
    std::optional<std::int64_t> base = integerDownward(*media, "Base");
    std::optional<std::int64_t> partitionID = integerDownward(*media, "Partition ID");
    std::optional<std::string> uuid = textDownward(*media, "UUID");
    std::optional<std::string> serial = serialNumberAbove(*media);

    if (uuid) {
        flag_ = uuid;
    } else if (serial && base && partitionID) {
        char numbers[96];
        std::snprintf(numbers, sizeof numbers, "-%llu-%llu-%llu", static_cast<unsigned long long>(*base),
                      static_cast<unsigned long long>(*partitionID), static_cast<unsigned long long>(*size));
        flag_ = *serial + numbers;
    }
}

void DMLocalDriveProperty::readMediaType() {
    std::optional<RegistryEntryId> media = DMDiskAccess::ioMedia(bsdName_);
    std::optional<RegistryEntryId> parent = media ? DMRegistrySearch::parent(*media) : std::nullopt;
    std::optional<PlatformValue> characteristics;
    // The bound keeps a damaged registry with a loop from holding us here.
    int steps = 0;
    for (std::optional<RegistryEntryId> at = parent; at && steps < 1000; at = DMRegistrySearch::parent(*at), ++steps) {
        auto value = DMRegistrySearch::own(*at, "Device Characteristics");
        if (value && value->asDictionary()) {
            characteristics = value;
            break;
        }
    }
    if (!characteristics) {
        mediaType_ = DMDriveObjectType::unknown;
        return;
    }
    const auto& values = *characteristics->asDictionary();
    auto medium = values.find("Medium Type");
    bool solidState = medium != values.end() && medium->second.asText() == "Solid State";
    mediaType_ = solidState ? DMDriveObjectType::ssd : DMDriveObjectType::hdd;
}

}  // namespace harbormind
