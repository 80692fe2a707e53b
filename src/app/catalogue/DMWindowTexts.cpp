#include "app/catalogue/DMWindowTexts.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <map>

namespace harbormind {
namespace {

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

// name -> text of the scalar constants in a text table.
std::map<QString, QString> tableOf(const QString& code) {
    static const QRegularExpression constant(R"re(constexpr\s+const\s+char\s*\*\s*(\w+)\s*=\s*)re" + literals + ";");
    std::map<QString, QString> table;
    for (auto match = constant.globalMatch(code); match.hasNext();) {
        auto found = match.next();
        if (!notWords.contains(found.captured(1))) {
            table[found.captured(1)] = DMWindowTexts::decode(found.captured(2));
        }
    }
    return table;
}

void addMatches(std::set<QString>& texts, const QRegularExpression& pattern, const QString& code) {
    for (auto match = pattern.globalMatch(code); match.hasNext();) {
        texts.insert(DMWindowTexts::decode(match.next().captured(1)));
    }
}

}  // namespace

DMWindowTexts::DMWindowTexts(QString sourceRoot) : root_(std::move(sourceRoot)) {}

QString DMWindowTexts::decode(const QString& code) {
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

QString DMWindowTexts::literal(const QString& text) {
    QString quoted = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\n') {
            quoted += QStringLiteral("\\n");
        } else if (c == '\t') {
            quoted += QStringLiteral("\\t");
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

QString DMWindowTexts::read(const QString& path) const {
    QFile file(QDir(root_).filePath(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

QStringList DMWindowTexts::windowSources() const {
    QStringList files;
    QDirIterator iterator(root_ + "/src/app", {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        const QString file = iterator.next();
        // This reader's own patterns are not texts of the window.
        if (!file.contains("/src/app/catalogue/")) {
            files << file;
        }
    }
    files.sort();
    return files;
}

std::set<QString> DMWindowTexts::collect() const {
    std::set<QString> texts;
    QString allCode;
    static const QRegularExpression call(
        R"re((?:\btr|\btranslate|\btranslated|DMTr::text|DMTr::qtext)\(\s*(?:DMTr::context\s*,\s*)?)re" + literals +
        "[,)]");
    for (const QString& file : windowSources()) {
        const QString code = read(file);
        allCode += code;
        if (file.endsWith("Texts.h") || file.endsWith("DMEraseWindowController.h")) {
            for (const auto& [name, text] : tableOf(code)) {
                texts.insert(text);
            }
        }
        addMatches(texts, call, code);
    }
    for (const QString& table : lowerTables) {
        const QString space = QFileInfo(table).baseName();
        for (const auto& [name, text] : tableOf(read(table))) {
            if (allCode.contains(QRegularExpression("\\b" + space + "::" + name + "\\b"))) {
                texts.insert(text);
            }
        }
    }
    for (const auto& [name, text] : tableOf(read("src/disktools/DMDriveHealthText.h"))) {
        texts.insert(text);
    }
    static const QRegularExpression healthFact("(?:add|emplace_back)\\(" + literals + ",");
    addMatches(texts, healthFact, read("src/disktools/DMDriveHealthText.cpp"));
    // The junk places this machine offers: their names and what each holds.
    static const QRegularExpression junkPlace("add\\(\"\\w+\",\\s*" + literals + ",\\s*" + literals + ",");
    for (auto match = junkPlace.globalMatch(read("src/platform/linux/files/LinuxJunkLocations.cpp")); match.hasNext();) {
        auto found = match.next();
        texts.insert(decode(found.captured(1)));
        texts.insert(decode(found.captured(2)));
    }
    static const QRegularExpression returned("return\\s+" + literals + ";");
    addMatches(texts, returned, read("src/platform/NetworkMountStatus.cpp"));
    texts.erase(QString());
    return texts;
}

QStringList DMWindowTexts::bypassingTheCatalogue() const {
    // A word written straight into a widget never reaches the catalogue; symbols and markup
    // around a translated value may.
    static const QRegularExpression straight(
        R"re((?:setText|setToolTip|setPlaceholderText|setWindowTitle|setTitle|setInformativeText|addAction|addItem|addButton|new QLabel|new QPushButton|new QCheckBox|new QRadioButton)\(\s*(?:QStringLiteral\(|QString::fromUtf8\(|QString\()?)re" +
        literals);
    static const QRegularExpression markup(QStringLiteral("<[^>]*>|%[1-9@d]"));
    QStringList bypassing;
    for (const QString& file : windowSources()) {
        for (auto match = straight.globalMatch(read(file)); match.hasNext();) {
            const QString text = decode(match.next().captured(1));
            if (QString(text).remove(markup).contains(QRegularExpression("[A-Za-z]"))) {
                bypassing << QFileInfo(file).fileName() + ": " + text;
            }
        }
    }
    return bypassing;
}

}  // namespace harbormind
