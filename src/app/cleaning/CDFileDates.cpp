#include "app/cleaning/CDFileDates.h"

#include <QDateTime>
#include <QFileInfo>

#include "app/cleaning/CDTexts.h"

namespace harbormind {
namespace {

std::string format(const QDateTime& time) {
    return time.isValid() ? time.toString(QString::fromLatin1(CDTexts::dateFormat)).toStdString() : std::string();
}

QFileInfo infoOf(const std::string& path) {
    QFileInfo info(QString::fromStdString(path));
    info.setCaching(false);
    return info;
}

}  // namespace

std::string CDFileDates::modified(const std::string& path) {
    QFileInfo info = infoOf(path);
    if (info.isSymLink()) {
        return format(info.fileTime(QFileDevice::FileModificationTime));
    }
    return format(info.lastModified());
}

std::string CDFileDates::created(const std::string& path) {
    return format(infoOf(path).birthTime());
}

}  // namespace harbormind
