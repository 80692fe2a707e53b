#include "app/shell/DMTranslationLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>

#include <memory>

namespace harbormind {

namespace {

constexpr const char* english = "en";

// "de_AT.UTF-8@euro" gives "de_AT" and then "de"; "C" and "POSIX" give English.
QStringList candidatesOf(const QString& locale) {
    QString name = locale.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    if (name == QLatin1String("C") || name == QLatin1String("POSIX")) {
        return {QString::fromLatin1(english)};
    }
    QStringList candidates;
    if (!name.isEmpty()) {
        candidates << name;
    }
    const QString base = name.section(QLatin1Char('_'), 0, 0);
    if (!base.isEmpty() && base != name) {
        candidates << base;
    }
    return candidates;
}

}  // namespace

QString DMTranslationLoader::catalogueIn(const QString& language, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QString file = QDir(folder).filePath(QStringLiteral("harbormind_%1.qm").arg(language));
        if (QFileInfo(file).isFile()) {
            return file;
        }
    }
    return {};
}

QString DMTranslationLoader::language(const Environment& environment, const QStringList& folders) {
    QStringList locales;
    if (const char* list = environment("LANGUAGE"); list != nullptr) {
        locales << QString::fromLocal8Bit(list).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    }
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = environment(variable); value != nullptr && *value != '\0') {
            locales << QString::fromLocal8Bit(value);
        }
    }
    for (const QString& locale : locales) {
        for (const QString& candidate : candidatesOf(locale)) {
            if (!catalogueIn(candidate, folders).isEmpty()) {
                return candidate;
            }
        }
    }
    return QString::fromLatin1(english);
}

QStringList DMTranslationLoader::folders(const QString& applicationDirectory) {
    const QDir bin(applicationDirectory);
    return {bin.filePath(QStringLiteral("translations")),
            QDir::cleanPath(bin.filePath(QStringLiteral("../share/harbormind/translations")))};
}

bool DMTranslationLoader::install(const QString& language, const QStringList& folders) {
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    const QString file = catalogueIn(language, folders);
    auto translator = std::make_unique<QTranslator>();
    if (file.isEmpty() || !translator->load(file)) {
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}

bool DMTranslationLoader::installForEnvironment(const Environment& environment) {
    const QStringList where = folders(QCoreApplication::applicationDirPath());
    return install(language(environment, where), where);
}

}  // namespace harbormind
