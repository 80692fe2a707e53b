#include "cli/CliJunkPlaces.h"

#include "cleaning/ClearTools.h"
#include "cleaning/JunkTreeBuilder.h"
#include "cli/CliContext.h"
#include "platform/Platform.h"

namespace harbormind {
namespace {

// The junk window hides categories of this size or less; the verbs show what it would show.
constexpr std::int64_t junkFilterSize = 1048576;

}  // namespace

std::optional<CliJunkPlaces> CliJunkPlaces::find(CliContext& context, const std::string& verb) {
    if (!context.preparePlatform()) {
        return std::nullopt;
    }
    Platform& platform = Platform::current();
    DirectoryWalker* walker = platform.directoryWalker();
    JunkLocations* locations = platform.junkLocations();
    if (walker == nullptr || locations == nullptr) {
        context.fail(verb + ": the " + platform.name() + " platform cannot scan junk places");
        return std::nullopt;
    }
    std::string home = ClearTools::getUserPath(platform.users());
    if (home.empty()) {
        context.fail(verb + ": the user database has no home folder for this user");
        return std::nullopt;
    }
    return CliJunkPlaces{walker, JunkTreeBuilder::composeTable(*walker, *locations, home)};
}

std::shared_ptr<FolderTreeNode> CliJunkPlaces::scan() const {
    return JunkTreeBuilder::build(*walker, table, junkFilterSize, {});
}

}  // namespace harbormind
