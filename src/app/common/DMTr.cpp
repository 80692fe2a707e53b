#include "app/common/DMTr.h"

#include <QCoreApplication>

#include <mutex>
#include <string>
#include <unordered_set>

namespace harbormind {

const char* DMTr::text(const char* source) {
    if (source == nullptr || *source == '\0') {
        return source;
    }
    const QByteArray translated = qtext(source).toUtf8();
    if (translated == source) {
        return source;
    }
    // Each distinct translation is kept once; a changed language adds its words and never
    // invalidates a text handed out before.
    static std::mutex guard;
    static std::unordered_set<std::string> kept;
    std::lock_guard lock(guard);
    return kept.emplace(translated.constData(), static_cast<size_t>(translated.size())).first->c_str();
}

QString DMTr::qtext(const char* source) {
    return QCoreApplication::translate(context, source);
}

}  // namespace harbormind
