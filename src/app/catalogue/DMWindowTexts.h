#pragma once

#include <QString>
#include <QStringList>

#include <set>

namespace harbormind {

// The texts the window shows, read from the sources: the window's own text tables whole, the
// constants it names from the tables below it, the literals it hands to the translation calls,
// and the words of a drive's health, of the network layer's messages and of this machine's junk
// places, which it looks up as they come. The catalogue test and the catalogue refresh both start from this list.
class DMWindowTexts {
public:
    // `sourceRoot` is the top folder of the source tree.
    explicit DMWindowTexts(QString sourceRoot);

    std::set<QString> collect() const;
    // Texts written straight into a widget, which never reach the catalogue ("file: text").
    QStringList bypassingTheCatalogue() const;

    // The value of adjacent C++ string literals, escapes resolved.
    static QString decode(const QString& code);
    // `text` as one C++ string literal (UTF-8 left as it is).
    static QString literal(const QString& text);

private:
    QStringList windowSources() const;
    QString read(const QString& relativeOrAbsolute) const;

    QString root_;
};

}  // namespace harbormind
