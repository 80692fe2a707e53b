#include "app/encryption/BLHeaderHandover.h"

#include <QFile>

#include "app/common/DMTr.h"
#include "app/encryption/BLEncryptionTexts.h"
#include "app/encryption/BLRecoveryKeyFile.h"
#include "drivemodel/DMLuksHeaderFacts.h"

namespace harbormind {

BLHeaderHandover::Result BLHeaderHandover::write(const std::string& path, const std::string& header, Expect expect) {
    DMLuksHeaderFacts facts = DMLuksHeaderFacts::of(header);
    bool complete = expect == Expect::finishedJob ? facts.keySlots >= 2 && !facts.reencrypting : facts.keySlots >= 1;
    if (!facts.isLuks2 || !complete) {
        return {false, DMTr::text(BLEncryptionTexts::headerIncomplete)};
    }
    if (!BLRecoveryKeyFile::write(path, header)) {
        return {false, DMTr::text(BLEncryptionTexts::headerNotWritten)};
    }
    QFile written(QString::fromStdString(path));
    if (!written.open(QIODevice::ReadOnly) || written.readAll().toStdString() != header) {
        return {false, DMTr::text(BLEncryptionTexts::headerDiffers)};
    }
    return {true, {}};
}

}  // namespace harbormind
