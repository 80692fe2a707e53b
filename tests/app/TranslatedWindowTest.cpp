#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include <map>
#include <string>

#include "AppTestSupport.h"
#include "app/drives/DMCloneDrive.h"
#include "app/clone/DMDeviceCloneWndController.h"
#include "app/common/DMTr.h"
#include "app/shell/DMTranslationLoader.h"

// The compiled catalogues as the window loads them: the language the environment asks for, and
// a window that shows corrected English for the system's keys and misspellings, or German.
namespace harbormind {
namespace {

const QStringList builtCatalogues = {QStringLiteral(HARBORMIND_TEST_TRANSLATIONS_DIR)};

DMTranslationLoader::Environment environment(std::map<std::string, std::string> variables) {
    return [variables = std::move(variables)](const char* name) -> const char* {
        auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    };
}

class TranslatedWindowTest : public ::testing::Test {
protected:
    void SetUp() override { test::ensureApplication(); }
    void TearDown() override { test::installCatalogue("en"); }
};

TEST_F(TranslatedWindowTest, TheEnvironmentChoosesTheFirstLanguageWithACatalogueAndEnglishOtherwise) {
    auto language = [](std::map<std::string, std::string> variables) {
        return DMTranslationLoader::language(environment(std::move(variables)), builtCatalogues).toStdString();
    };
    EXPECT_EQ(language({}), "en");
    EXPECT_EQ(language({{"LANG", "de_DE.UTF-8"}}), "de");
    EXPECT_EQ(language({{"LANG", "de_AT.UTF-8@euro"}}), "de") << "a region without its own catalogue takes the language's";
    EXPECT_EQ(language({{"LANGUAGE", "fr:de:en"}, {"LANG", "fr_FR.UTF-8"}}), "de") << "French has no catalogue";
    EXPECT_EQ(language({{"LC_ALL", "C"}, {"LANG", "de_DE.UTF-8"}}), "en") << "LC_ALL outranks LANG; C is English";
    EXPECT_EQ(language({{"LC_MESSAGES", "de_CH.UTF-8"}, {"LANG", "en_GB.UTF-8"}}), "de");
    EXPECT_EQ(language({{"LANG", "pt_BR.UTF-8"}}), "en");
    EXPECT_FALSE(DMTranslationLoader::install(QStringLiteral("de"), {QStringLiteral("/nonexistent")}));
}

TEST_F(TranslatedWindowTest, TheClonePickerShowsCorrectedEnglishAndGermanForTheSameSourceTexts) {
    auto picker = [] {
        DMCloneDrive source{nullptr, "sdb", "SanDisk Ultra", "externalDisk", 32'010'928'128, {}};
        return std::make_unique<DMDeviceCloneWndController>(
            source, std::vector<DMCloneDrive>{{nullptr, "sdc", "Tiny", "externalDisk", 1'000'000, {}}}, nullptr);
    };
    auto tooSmall = [](DMDeviceCloneWndController& window) {
        return window.unavailableReason(window.disksSource.front()).toStdString();
    };

    DMTranslationLoader::install(QStringLiteral("none"), builtCatalogues);
    auto untranslated = picker();
    EXPECT_EQ(untranslated->btnStartClone->text().toStdString(), "startClone") << "the code keeps the system's key";

    const QString english = DMTranslationLoader::language(environment({{"LANG", "en_US.UTF-8"}}), builtCatalogues);
    ASSERT_TRUE(DMTranslationLoader::install(english, builtCatalogues));
    auto inEnglish = picker();
    EXPECT_EQ(inEnglish->btnStartClone->text().toStdString(), "Start Clone");
    EXPECT_EQ(inEnglish->lbDestinDeviceTitle->text().toStdString(), "Select the destination device for the clone");
    EXPECT_EQ(inEnglish->btnCancel->text().toStdString(), "Cancel");
    EXPECT_EQ(tooSmall(*inEnglish).rfind("Too small: the source holds ", 0), 0u) << tooSmall(*inEnglish);

    const QString german = DMTranslationLoader::language(environment({{"LANG", "de_DE.UTF-8"}}), builtCatalogues);
    ASSERT_TRUE(DMTranslationLoader::install(german, builtCatalogues));
    auto translated = picker();
    EXPECT_EQ(translated->btnStartClone->text().toStdString(), "Klonen starten");
    EXPECT_EQ(translated->btnCancel->text().toStdString(), "Abbrechen");
    EXPECT_EQ(tooSmall(*translated).rfind("Zu klein: Die Quelle umfasst ", 0), 0u) << tooSmall(*translated);
    EXPECT_EQ(std::string(DMTr::text("Old passwor:")), "Altes Passwort:");
    EXPECT_EQ(inEnglish->btnStartClone->text().toStdString(), "Start Clone") << "a window keeps the words it was made with";
}

}  // namespace
}  // namespace harbormind
