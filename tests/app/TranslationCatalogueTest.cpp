#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <map>
#include <set>
#include <string>

#include "app/common/DMTr.h"

// The window's texts as its sources hold them, against the translation catalogues: every text
// the window shows has an entry in the English catalogue and a German translation, and no
// translation loses a placeholder the code fills in.
namespace harbormind {
namespace {

const QString sourceRoot = QStringLiteral(HARBORMIND_TEST_SOURCE_DIR);
const QString literals = QStringLiteral(R"re(((?:"(?:[^"\\\n]|\\.)*"\s*)+))re");

// Constants of the text tables that are addresses, file types, identifiers or formats: the
// code uses them as they are and never shows them as words.
const std::set<QString> notWords = {
    "helpURL",           "findKeyURL",       "requirementsURL",        "savePanelType",
    "headerSuffix",      "headerPanelType",  "dateFormat",             "productID",
    "generalIdentifier", "advancedIdentifier", "notificationIdentifier", "helpQueryFormat",
    "capacityMapUsedColour", "columnFileName", "columnFileSize",       "columnFileModificationDate"};

// The tables below the window whose texts it shows (those of their constants it names).
const QStringList lowerTables = {"src/drivemodel/DMCloneTexts.h", "src/update/MacUpdateTexts.h",
                                 "src/usbblocker/USBBlockerTexts.h", "src/cleaning/CleaningTexts.h",
                                 "src/drivemodel/DMLocalDriveText.h"};

QString read(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

// The value of adjacent C++ string literals, escapes resolved.
QString decode(const QString& code) {
    QString value;
    static const QRegularExpression one(QStringLiteral(R"re("((?:[^"\\\n]|\\.)*)")re"));
    for (auto match = one.globalMatch(code); match.hasNext();) {
        const QString body = match.next().captured(1);
        for (qsizetype index = 0; index < body.size(); ++index) {
            QChar c = body[index];
            if (c == '\\' && index + 1 < body.size()) {
                QChar escaped = body[++index];
                if (escaped == 'u' && index + 4 < body.size()) {
                    escaped = QChar(body.mid(index + 1, 4).toUShort(nullptr, 16));
                    index += 4;
                }
                c = escaped == 'n' ? QChar('\n') : escaped == 't' ? QChar('\t') : escaped;
            }
            value += c;
        }
    }
    return value;
}

QStringList windowSources() {
    QStringList files;
    QDirIterator iterator(sourceRoot + "/src/app", {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        files << iterator.next();
    }
    return files;
}

// name -> text of the scalar constants in a text table.
std::map<QString, QString> tableOf(const QString& path) {
    static const QRegularExpression constant(R"re(constexpr\s+const\s+char\s*\*\s*(\w+)\s*=\s*)re" + literals + ";");
    std::map<QString, QString> table;
    for (auto match = constant.globalMatch(read(path)); match.hasNext();) {
        auto found = match.next();
        if (!notWords.contains(found.captured(1))) {
            table[found.captured(1)] = decode(found.captured(2));
        }
    }
    return table;
}

// Every text the window shows: the window's own text tables whole, the constants it names from
// the tables below it, the literals it hands to the translation calls, and the words of the
// network layer's messages and of a drive's health, which it looks up as they come.
std::set<QString> windowTexts() {
    std::set<QString> texts;
    QString allCode;
    for (const QString& file : windowSources()) {
        const QString code = read(file);
        allCode += code;
        if (file.endsWith("Texts.h") || file.endsWith("DMEraseWindowController.h")) {
            for (const auto& [name, text] : tableOf(file)) {
                texts.insert(text);
            }
        }
        static const QRegularExpression call(
            R"re((?:\btr|\btranslate|\btranslated|DMTr::text|DMTr::qtext)\(\s*(?:DMTr::context\s*,\s*)?)re" + literals +
            "[,)]");
        for (auto match = call.globalMatch(code); match.hasNext();) {
            texts.insert(decode(match.next().captured(1)));
        }
    }
    for (const QString& table : lowerTables) {
        const QString space = QFileInfo(table).baseName();
        for (const auto& [name, text] : tableOf(sourceRoot + "/" + table)) {
            if (allCode.contains(QRegularExpression("\\b" + space + "::" + name + "\\b"))) {
                texts.insert(text);
            }
        }
    }
    for (const auto& [name, text] : tableOf(sourceRoot + "/src/disktools/DMDriveHealthText.h")) {
        texts.insert(text);
    }
    static const QRegularExpression healthFact("(?:add|emplace_back)\\(" + literals + ",");
    for (auto match = healthFact.globalMatch(read(sourceRoot + "/src/disktools/DMDriveHealthText.cpp"));
         match.hasNext();) {
        texts.insert(decode(match.next().captured(1)));
    }
    static const QRegularExpression returned("return\\s+" + literals + ";");
    for (auto match = returned.globalMatch(read(sourceRoot + "/src/platform/NetworkMountStatus.cpp"));
         match.hasNext();) {
        texts.insert(decode(match.next().captured(1)));
    }
    texts.erase(QString());
    return texts;
}

struct Entry {
    QString translation;
    bool finished = true;
};

// source -> entry of the catalogue's one context.
std::map<QString, Entry> catalogue(const QString& language) {
    const QString path = sourceRoot + "/resources/translations/harbormind_" + language + ".ts";
    QXmlStreamReader xml(read(path));
    std::map<QString, Entry> entries;
    QString context, source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"source") {
            source = xml.readElementText();
        } else if (xml.name() == u"translation") {
            EXPECT_EQ(context.toStdString(), DMTr::context) << path.toStdString();
            Entry entry;
            entry.finished = xml.attributes().value("type").isEmpty();
            entry.translation = xml.readElementText();
            EXPECT_FALSE(entries.contains(source)) << "twice in " << language.toStdString() << ": "
                                                   << source.toStdString();
            entries[source] = entry;
        }
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return entries;
}

std::multiset<QString> placeholders(const QString& text) {
    static const QRegularExpression placeholder(QStringLiteral("%(?:@|d|[1-9])"));
    std::multiset<QString> found;
    for (auto match = placeholder.globalMatch(text); match.hasNext();) {
        found.insert(match.next().captured());
    }
    return found;
}

TEST(TranslationCatalogueTest, EveryTextTheWindowShowsHasAnEnglishEntryAndAGermanTranslation) {
    const std::set<QString> texts = windowTexts();
    ASSERT_GT(texts.size(), 400u) << "the sources were not found or not understood";
    EXPECT_TRUE(texts.contains("Prearing...") && texts.contains("DeviceWhiteList") && texts.contains("startClone") &&
                texts.contains("Too small: the source holds %1.") && texts.contains("Fire Wire") &&
                texts.contains("The server cannot be reached."))
        << "tables, translation calls, display names and the network layer's messages all count";
    for (const QString language : {"en", "de"}) {
        const auto entries = catalogue(language);
        std::string missing;
        for (const QString& text : texts) {
            auto entry = entries.find(text);
            if (entry == entries.end() || !entry->second.finished || entry->second.translation.isEmpty()) {
                missing += "\n  " + text.toStdString();
            }
        }
        EXPECT_EQ(missing, "") << "texts without a finished entry in harbormind_" << language.toStdString() << ".ts";
        std::string stale;
        for (const auto& [source, entry] : entries) {
            if (!texts.contains(source)) {
                stale += "\n  " + source.toStdString();
            }
        }
        EXPECT_EQ(stale, "") << "entries of harbormind_" << language.toStdString() << ".ts the window no longer shows";
    }
}

TEST(TranslationCatalogueTest, EveryTranslationKeepsThePlaceholdersTheCodeFillsIn) {
    for (const QString language : {"en", "de"}) {
        for (const auto& [source, entry] : catalogue(language)) {
            EXPECT_EQ(placeholders(entry.translation), placeholders(source))
                << language.toStdString() << ": " << source.toStdString() << " -> " << entry.translation.toStdString();
            EXPECT_EQ(entry.translation.endsWith('\n'), source.endsWith('\n'))
                << language.toStdString() << ": " << source.toStdString();
        }
    }
}

TEST(TranslationCatalogueTest, NoWidgetIsHandedAWordStraightFromALiteral) {
    // A word written straight into a widget never reaches the catalogue; symbols and markup
    // around a translated value may.
    static const QRegularExpression straight(
        R"re((?:setText|setToolTip|setPlaceholderText|setWindowTitle|setTitle|setInformativeText|addAction|addItem|addButton|new QLabel|new QPushButton|new QCheckBox|new QRadioButton)\(\s*(?:QStringLiteral\(|QString::fromUtf8\(|QString\()?)re" +
        literals);
    static const QRegularExpression markup(QStringLiteral("<[^>]*>|%[1-9@d]"));
    std::string bypassing;
    for (const QString& file : windowSources()) {
        for (auto match = straight.globalMatch(read(file)); match.hasNext();) {
            const QString text = decode(match.next().captured(1));
            if (QString(text).remove(markup).contains(QRegularExpression("[A-Za-z]"))) {
                bypassing += "\n  " + QFileInfo(file).fileName().toStdString() + ": " + text.toStdString();
            }
        }
    }
    EXPECT_EQ(bypassing, "");
}

}  // namespace
}  // namespace harbormind
