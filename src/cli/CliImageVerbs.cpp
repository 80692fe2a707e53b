// `image create DEVICE FILE [--compress]`, `image restore FILE DEVICE`, `image status` and
// `image stop`: disk images made and written back by the helper daemon. The image file is
// opened here, as the user, and handed to the daemon, so it is the user's own file.
#include <CLI/CLI.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliEraseSteps.h"
#include "cli/CliStopSignal.h"
#include "cli/CliVerbGroups.h"
#include "disktools/DMDiskToolsWrapper.h"
#include "disktools/DMEraseTarget.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/Clock.h"
#include "support/DMByteCountFormatter.h"
#include "support/PrintableText.h"

namespace harbormind {
namespace {

constexpr double pollSeconds = 0.5;

struct ImageOptions {
    std::string device;
    std::string file;
    bool compress = false;
    bool replace = false;
    bool yes = false;
    bool json = false;
};

std::string plainName(const std::string& device) {
    return device.rfind("/dev/", 0) == 0 ? device.substr(5) : device;
}

// Closes the image file when the verb ends.
struct OpenFile {
    int fd = -1;
    ~OpenFile() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

nlohmann::json asJson(const DMDiskImageStatus& status) {
    static const char* const states[] = {"none", "running", "finished", "stopped", "failed"};
    return {{"state", states[static_cast<int>(status.state)]}, {"device", status.device},
            {"totalBytes", status.totalBytes}, {"doneBytes", status.doneBytes},
            {"unreadableBytes", status.unreadableBytes}, {"imageBytes", status.imageBytes},
            {"reason", status.reason}};
}

// Follows the job to its end, printing its progress at a terminal; Ctrl-C stops it.
DMDiskImageStatus follow(CliContext& context, DMDiskToolsWrapper& tools) {
    CliStopSignal stopSignal;
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    bool stopAsked = false;
    for (;;) {
        DMDiskImageStatus status = tools.imageStatus();
        if (status.ended()) {
            if (terminal) {
                context.err << "\n";
            }
            return status;
        }
        if (terminal) {
            context.err << "\r" << status.progressText() << "   " << std::flush;
        }
        if (CliStopSignal::requested() && !stopAsked) {
            stopAsked = true;
            tools.stopImage();
        }
        Clock::current().sleepFor(seconds(pollSeconds));
    }
}

int finish(CliContext& context, const ImageOptions& options, const DMDiskImageStatus& status,
           const std::string& done) {
    if (options.json) {
        context.out << asJson(status).dump(2) << "\n";
    }
    if (status.state == DMDiskImageStatus::State::stopped) {
        return context.fail("stopped at " + status.progressText());
    }
    if (status.state != DMDiskImageStatus::State::finished) {
        return context.fail(status.reason);
    }
    if (!options.json) {
        context.out << done << "\n";
        if (status.unreadableBytes > 0) {
            context.out << DMByteCountFormatter::string(static_cast<std::int64_t>(status.unreadableBytes))
                        << " could not be read and were written as zeros\n";
        }
    }
    return 0;
}

std::optional<DMEraseTarget> targetOf(CliContext& context, const std::string& device) {
    if (!context.preparePlatform()) {
        return std::nullopt;
    }
    std::shared_ptr<DMDriveObjectProtocol> drive = context.drive(plainName(device));
    return drive ? DMEraseTarget::read(drive) : std::nullopt;
}

int createImage(CliContext& context, const ImageOptions& options) {
    auto source = targetOf(context, options.device);
    if (!source) {
        return 1;
    }
    if (!options.replace && ::access(options.file.c_str(), F_OK) == 0) {
        return context.fail("image create: " + PrintableText::escaped(options.file) +
                            " exists; give --replace to write over it");
    }
    // Its volumes are unmounted first, so the image holds the disk as it is at one moment.
    if (int status = CliEraseSteps::prepare(context, "image create", *source); status != 0) {
        return status;
    }
    OpenFile image{::open(options.file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600)};
    if (image.fd < 0) {
        return context.fail("image create: cannot write " + PrintableText::escaped(options.file) + ": " +
                            std::strerror(errno));
    }
    DMDiskToolsWrapper tools;
    XPCCodeAnswer started = tools.createImage(source->identifier, image.fd, options.compress);
    if (started.code != 0) {
        ::unlink(options.file.c_str());
        return context.fail("image create " + source->identifier + " failed: " + started.message);
    }
    DMDiskImageStatus status = follow(context, tools);
    return finish(context, options, status,
                  "Made " + PrintableText::escaped(options.file) + " from " + source->title() + "; it takes " +
                      DMByteCountFormatter::string(static_cast<std::int64_t>(status.imageBytes)));
}

int restoreImage(CliContext& context, const ImageOptions& options) {
    OpenFile image{::open(options.file.c_str(), O_RDONLY | O_CLOEXEC)};
    if (image.fd < 0) {
        return context.fail("image restore: cannot read " + PrintableText::escaped(options.file) + ": " +
                            std::strerror(errno));
    }
    auto destination = targetOf(context, options.device);
    if (!destination) {
        return 1;
    }
    DMDiskToolsWrapper tools;
    // Everything but the destination's own mounts is checked before asking (they are
    // unmounted after the yes).
    XPCCodeAnswer check = tools.checkImageRestore(destination->identifier, image.fd);
    if (check.code != 0 && !(check.code == 16 && !destination->mounted().empty())) {
        return context.fail("image restore onto " + destination->identifier + ": " + check.message);
    }
    if (!CliEraseSteps::confirmed(context,
                                  "Write " + PrintableText::escaped(options.file) + " over " + destination->title() +
                                      "? " + destination->contents() + " Everything on it will be lost.",
                                  options.yes)) {
        return CliEraseSteps::notConfirmed;
    }
    if (int status = CliEraseSteps::prepare(context, "image restore", *destination); status != 0) {
        return status;
    }
    XPCCodeAnswer started = tools.restoreImage(destination->identifier, image.fd);
    if (started.code != 0) {
        return context.fail("image restore onto " + destination->identifier + " failed: " + started.message);
    }
    DMDiskImageStatus status = follow(context, tools);
    return finish(context, options, status,
                  "Wrote " + PrintableText::escaped(options.file) + " over " + destination->title());
}

int showStatus(CliContext& context, bool json) {
    if (!context.preparePlatform()) {
        return 1;
    }
    DMDiskImageStatus status = DMDiskToolsWrapper().imageStatus();
    if (json) {
        context.out << asJson(status).dump(2) << "\n";
        return 0;
    }
    if (status.state == DMDiskImageStatus::State::none) {
        context.out << "No disk image made or restored since the daemon started\n";
        return 0;
    }
    context.out << (status.restoring ? "Restoring onto " : "Imaging ") << status.device << ": "
                << asJson(status)["state"].get<std::string>() << ", " << status.progressText()
                << (status.reason.empty() ? "" : " (" + status.reason + ")") << "\n";
    return 0;
}

}  // namespace

void registerImageVerbs(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<ImageOptions>();
    auto* image = app.add_subcommand("image", "make a disk image of a disk or volume, or write one back");
    image->require_subcommand(1);
    auto* create = image->add_subcommand("create", "read a disk or volume into an image file");
    create->add_option("DEVICE", options->device, "the disk or volume, such as sdb or sdb1")->required();
    create->add_option("FILE", options->file, "the image file to make (.img, or .img.zst with --compress)")->required();
    create->add_flag("--compress", options->compress, "compress the image with zstd");
    create->add_flag("--replace", options->replace, "write over FILE if it exists");
    create->add_flag("--json", options->json, "print the outcome as JSON");
    create->callback([&context, options] { context.exitStatus = createImage(context, *options); });
    auto* restore = image->add_subcommand("restore", "write an image (.img, .iso, .img.zst, .img.xz) over a device");
    restore->add_option("FILE", options->file, "the image file")->required();
    restore->add_option("DEVICE", options->device, "the disk or volume to write over, such as sdb")->required();
    restore->add_flag("--yes", options->yes, "do not ask first");
    restore->add_flag("--json", options->json, "print the outcome as JSON");
    restore->callback([&context, options] { context.exitStatus = restoreImage(context, *options); });
    auto* status = image->add_subcommand("status", "how your last image job stands");
    status->add_flag("--json", options->json, "print it as JSON");
    status->callback([&context, options] { context.exitStatus = showStatus(context, options->json); });
    auto* stop = image->add_subcommand("stop", "stop your image job");
    stop->callback([&context] {
        if (!context.preparePlatform()) {
            context.exitStatus = 1;
            return;
        }
        XPCCodeAnswer answer = DMDiskToolsWrapper().stopImage();
        context.exitStatus = answer.code == 0 ? 0 : context.fail("image stop: " + answer.message);
    });
}

}  // namespace harbormind
