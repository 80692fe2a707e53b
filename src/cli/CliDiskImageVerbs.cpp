// attach FILE [--read-only]: a disk image becomes a disk of the user's own.
#include <CLI/CLI.hpp>

#include <memory>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"
#include "platform/DiskImages.h"
#include "platform/Platform.h"
#include "support/PrintableText.h"

namespace harbormind {

void registerDiskImageVerbs(CLI::App& app, CliContext& context) {
    auto* attach = app.add_subcommand("attach", "attach a disk image file as a disk of your own");
    auto file = std::make_shared<std::string>();
    auto readOnly = std::make_shared<bool>(false);
    attach->add_option("FILE", *file, "the image file, which you must be able to read (and write)")->required();
    attach->add_flag("--read-only", *readOnly, "attach it without write access");
    attach->callback([&context, file, readOnly] {
        if (!context.preparePlatform()) {
            context.exitStatus = 1;
            return;
        }
        DiskImages* images = Platform::current().diskImages();
        if (!images) {
            context.exitStatus = context.fail("attach: this platform attaches no disk images");
            return;
        }
        DiskImages::Answer answer = images->attach(*file, *readOnly);
        if (answer.code != 0) {
            context.exitStatus = context.fail("attach " + PrintableText::escaped(*file) + " failed: " + answer.message);
            return;
        }
        context.out << "Attached " << PrintableText::escaped(*file) << " as " << PrintableText::escaped(answer.message)
                    << (*readOnly ? " (read-only)" : "") << "\n";
    });
}

}  // namespace harbormind
