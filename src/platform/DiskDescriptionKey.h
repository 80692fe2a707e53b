#pragma once

namespace harbormind {

// The keys of a disk's description dictionary.
struct DiskDescriptionKey {
    static constexpr const char* mediaSize = "DAMediaSize";
    static constexpr const char* mediaWhole = "DAMediaWhole";
    static constexpr const char* mediaEjectable = "DAMediaEjectable";
    static constexpr const char* mediaRemovable = "DAMediaRemovable";
    static constexpr const char* mediaEncrypted = "DAMediaEncrypted";
    static constexpr const char* mediaEncryptionDetail = "DAMediaEncryptionDetail";
    static constexpr const char* mediaName = "DAMediaName";
    static constexpr const char* mediaBSDName = "DAMediaBSDName";
    static constexpr const char* mediaContent = "DAMediaContent";
    static constexpr const char* mediaUUID = "DAMediaUUID";
    static constexpr const char* deviceInternal = "DADeviceInternal";
    static constexpr const char* deviceProtocol = "DADeviceProtocol";
    static constexpr const char* deviceVendor = "DADeviceVendor";
    static constexpr const char* deviceModel = "DADeviceModel";
    static constexpr const char* busName = "DABusName";
    static constexpr const char* busPath = "DABusPath";
    static constexpr const char* appearanceTime = "DAAppearanceTime";
    static constexpr const char* volumeNetwork = "DAVolumeNetwork";
    static constexpr const char* volumeName = "DAVolumeName";
    static constexpr const char* volumeType = "DAVolumeType";
    static constexpr const char* volumeKind = "DAVolumeKind";
    static constexpr const char* volumeUUID = "DAVolumeUUID";
    static constexpr const char* volumePath = "DAVolumePath";
};

}  // namespace harbormind
