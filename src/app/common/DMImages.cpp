#include "app/common/DMImages.h"

#include <QFile>
#include <map>

#include "support/Log.h"

namespace harbormind {
namespace {

QString resourcePath(const std::string& name) {
    return QStringLiteral(":/images/%1.svg").arg(QString::fromStdString(name));
}

}  // namespace

bool DMImages::has(const std::string& name) {
    return QFile::exists(resourcePath(name));
}

QIcon DMImages::icon(const std::string& name) {
    static std::map<std::string, QIcon> cache;
    auto found = cache.find(name);
    if (found != cache.end()) {
        return found->second;
    }
    QIcon result;
    if (has(name)) {
        result = QIcon(resourcePath(name));
    } else {
        result = QIcon::fromTheme(QString::fromStdString(name));
        if (result.isNull()) {
            Log::warning("no image named " + name + "; showing the partition image instead");
            result = QIcon(resourcePath("partition"));
        }
    }
    cache.emplace(name, result);
    return result;
}

}  // namespace harbormind
