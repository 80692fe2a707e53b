#include "app/encryption/BLEncryptionAlertText.h"

#include <utility>

#include "app/common/DMTr.h"
#include "app/encryption/BLEncryptionTexts.h"

namespace harbormind {
namespace {

// One line per file system; a new kind of encryption adds its lines here.
constexpr std::pair<DMDriveObjectFilesystem, const char*> alertTexts[] = {
    {DMDriveObjectFilesystem::fat32, BLEncryptionTexts::alertBitLocker},
    {DMDriveObjectFilesystem::ntfs, BLEncryptionTexts::alertBitLocker},
    {DMDriveObjectFilesystem::exfat, BLEncryptionTexts::alertBitLocker},
    {DMDriveObjectFilesystem::ext2, BLEncryptionTexts::alertLuks},
    {DMDriveObjectFilesystem::ext3, BLEncryptionTexts::alertLuks},
    {DMDriveObjectFilesystem::ext4, BLEncryptionTexts::alertLuks},
    {DMDriveObjectFilesystem::apfs, BLEncryptionTexts::alertFileVault},
    {DMDriveObjectFilesystem::hfs_plus, BLEncryptionTexts::alertFileVault},
};

}  // namespace

std::optional<std::string> BLEncryptionAlertText::forFileSystem(DMDriveObjectFilesystem fileSystem) {
    for (const auto& [kind, text] : alertTexts) {
        if (kind == fileSystem) {
            return std::string(DMTr::text(text));
        }
    }
    return std::nullopt;
}

}  // namespace harbormind
