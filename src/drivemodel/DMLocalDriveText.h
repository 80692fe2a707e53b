#pragma once

namespace harbormind {

// Texts the local drive model compares against or shows.
struct DMLocalDriveText {
    // The name of a drive that has no volume, media or CoreStorage name.
    static constexpr const char* noName = "NO NAME";
    // The media name of an APFS container disk.
    static constexpr const char* apfsContainerMediaName = "AppleAPFSMedia";
    // The content type APFS volumes carry; it also marks a store on some descriptions.
    static constexpr const char* apfsPhysicalStoreContent = "41504653-0000-11AA-AA11-00306543ECAC";
    // The partition type real APFS physical stores carry.
    static constexpr const char* apfsPartitionContent = "7C3457EF-0000-11AA-AA11-00306543ECAC";
    static constexpr const char* guidScheme = "GUID_partition_scheme";
    static constexpr const char* mbrScheme = "FDisk_partition_scheme";
    static constexpr const char* appleScheme = "Apple_partition_scheme";
    // The file that marks a hibernated Windows volume.
    static constexpr const char* hibernationFile = "hiberfil.sys";
    // Why "open" showed nothing.
    static constexpr const char* notMounted = "the volume is not mounted";
    static constexpr const char* noFileManager = "no file manager could be started to show it";
    // Why a mount was not even asked for: the system no longer knows the device.
    static constexpr const char* diskGone = "the disk is no longer attached";
};

}  // namespace harbormind
