#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <map>
#include <set>
#include <string>

#include "app/common/DMTr.h"
#include "app/catalogue/DMWindowTexts.h"

// The window's texts as its sources hold them, against the translation catalogues: every text
// the window shows has an entry in the English catalogue and a German translation, and no
// translation loses a placeholder the code fills in.
namespace harbormind {
namespace {

const QString sourceRoot = QStringLiteral(HARBORMIND_TEST_SOURCE_DIR);

QString read(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

std::set<QString> windowTexts() { return DMWindowTexts(sourceRoot).collect(); }

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
    EXPECT_EQ(DMWindowTexts(sourceRoot).bypassingTheCatalogue().join("\n  ").toStdString(), "");
}

TEST(TranslationCatalogueTest, AGeneratedEntryReadsBackAsTheSameText) {
    // The refresh writes each text as a literal for the catalogue tool; what it writes must read
    // back unchanged, or the refreshed catalogue would hold other texts than the window shows.
    for (const QString& text : windowTexts()) {
        EXPECT_EQ(DMWindowTexts::decode(DMWindowTexts::literal(text)), text);
    }
    EXPECT_EQ(DMWindowTexts::decode(DMWindowTexts::literal("\"a\\b\"\n\tc")), "\"a\\b\"\n\tc");
}

}  // namespace
}  // namespace harbormind
