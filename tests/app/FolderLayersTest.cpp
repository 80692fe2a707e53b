#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <string>
#include <vector>

// The window's folders stand in one list, top to bottom; a file may include files of its own
// folder and of the folders below it, never of one above (docs/architecture.md says why).
namespace harbormind {
namespace {

const QString appRoot = QStringLiteral(HARBORMIND_TEST_SOURCE_DIR "/src/app");

// Folders on one line share a level: the features, which never include each other.
const std::vector<QStringList> levels = {
    {"shell"},
    {"usb"},
    {"preferences"},
    {"install"},
    {"update"},
    {"network"},
    {"details"},
    {"encryption", "clone", "firstaid", "cleaning", "disktools"},
    {"drives"},
    {"notifications"},
    {"widgets"},
    {"catalogue"},
    {"common", "instance"},
};

int levelOf(const QString& folder) {
    for (std::size_t level = 0; level < levels.size(); ++level) {
        if (levels[level].contains(folder)) {
            return static_cast<int>(level);
        }
    }
    return -1;
}

// The folder of `path` under src/app; empty for a file in src/app itself (main.cpp, which
// stands above every folder).
QString folderOf(const QString& path) {
    const QString relative = QDir(appRoot).relativeFilePath(path);
    return relative.contains('/') ? relative.section('/', 0, 0) : QString();
}

TEST(FolderLayers, EveryFolderOfTheWindowHasItsPlace) {
    for (const QString& folder : QDir(appRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        EXPECT_NE(levelOf(folder), -1) << "src/app/" << folder.toStdString() << " is in no level of the list";
    }
}

TEST(FolderLayers, NoIncludePointsUpOrAcross) {
    static const QRegularExpression include(QStringLiteral(R"re(#include\s+"app/(\w+)/[^"]+")re"));
    int files = 0;
    QDirIterator iterator(appRoot, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        const QString path = iterator.next();
        const QString from = folderOf(path);
        if (from.isEmpty()) {
            continue;
        }
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        ++files;
        const QString code = QString::fromUtf8(file.readAll());
        for (auto match = include.globalMatch(code); match.hasNext();) {
            const QString to = match.next().captured(1);
            if (to != from) {
                EXPECT_LT(levelOf(from), levelOf(to))
                    << QDir(appRoot).relativeFilePath(path).toStdString() << " includes a file of app/"
                    << to.toStdString();
            }
        }
    }
    EXPECT_GT(files, 100) << "the window's sources were not found under " << appRoot.toStdString();
}

}  // namespace
}  // namespace harbormind
