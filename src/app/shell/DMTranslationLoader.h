#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace harbormind {

// Chooses and installs the window's translation catalogue ("harbormind_<language>.qm") at start.
class DMTranslationLoader {
public:
    using Environment = std::function<const char*(const char*)>;

    // The language the environment asks for: the first of LANGUAGE (a list split by ':'),
    // LC_ALL, LC_MESSAGES and LANG that names a language with a catalogue in `folders`
    // ("de_AT.UTF-8" finds "de_AT", else "de"). "C" and "POSIX" ask for English, which is also
    // the answer when nothing else matches.
    static QString language(const Environment& environment, const QStringList& folders);
    // Where the catalogues are: beside the program when it runs from the build folder, and
    // under share/harbormind/translations next to the installed program's bin folder.
    static QStringList folders(const QString& applicationDirectory);
    // Replaces the installed catalogue by the one for `language` from the first folder that has
    // it; false (and none installed) when no folder does.
    static bool install(const QString& language, const QStringList& folders);
    // The catalogue the environment asks for, from the folders around the running program.
    static bool installForEnvironment(const Environment& environment);

private:
    static QString catalogueIn(const QString& language, const QStringList& folders);
};

}  // namespace harbormind
