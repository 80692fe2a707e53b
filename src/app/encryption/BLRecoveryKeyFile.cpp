#include "app/encryption/BLRecoveryKeyFile.h"

#include <QSaveFile>
#include <filesystem>

#include "app/common/DMTr.h"
#include "app/encryption/BLEncryptionTexts.h"

namespace harbormind {

std::string BLRecoveryKeyFile::text(const std::optional<std::string>& guid,
                                    const std::optional<std::string>& recoveryKey) {
    return "BitLocker Drive Encryption recovery key\n\nIdentifier:\n\n\t" + guid.value_or("") +
           "\n\nRecovery Key:\n\n\t" + recoveryKey.value_or("");
}

std::string BLRecoveryKeyFile::proposedName(const std::optional<std::string>& guid) {
    return std::string(DMTr::text(BLEncryptionTexts::proposedNamePrefix)) + guid.value_or("");
}

bool BLRecoveryKeyFile::write(const std::string& path, const std::string& text) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QByteArray bytes = QByteArray::fromStdString(text);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::string BLRecoveryKeyFile::headerPathBeside(const std::string& keyPath) {
    std::filesystem::path path(keyPath);
    path.replace_extension(BLEncryptionTexts::headerSuffix);
    return path.string();
}

}  // namespace harbormind
