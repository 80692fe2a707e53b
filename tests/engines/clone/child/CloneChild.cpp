// A process that runs one clone with the engine, for tests that kill it half-way.
//
//   clone_child DEST SOURCE STATE_FOLDER CHECKPOINT_MIB [cover]
//
// Prints "progress CURRENT TOTAL" for every report and "end STATUS ERROR CURRENT UNREADABLE"
// at the end. SIGTERM and SIGINT stop the clone, which saves its map before the program exits.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "engines/clone/CloneEngine.h"

using namespace harbormind;
using namespace harbormind::clone;

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: clone_child DEST SOURCE STATE_FOLDER CHECKPOINT_MIB [cover]\n");
        return 2;
    }
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    CloneOptions options;
    options.stateFolder = argv[3];
    options.checkpointBytes = std::strtoull(argv[4], nullptr, 10) << 20;
    options.checkpointInterval = seconds(60);
    options.progressInterval = seconds(0.01);
    CloneEngine engine(options);
    std::thread([&engine, signals] {
        int received = 0;
        sigwait(&signals, &received);
        engine.stopCloneWithFlag(true);
    }).detach();

    bool cover = argc > 5 && std::string(argv[5]) == "cover";
    auto code =
        engine.clonDeviceWithStrDestinDevice(argv[1], argv[2], cover, [](const CloneProgress& progress) {
            if (progress.status == DMProgressStatus::running) {
                std::printf("progress %llu %llu\n", static_cast<unsigned long long>(progress.current),
                            static_cast<unsigned long long>(progress.total));
            } else {
                std::printf("end %d %llu %llu %llu\n", static_cast<int>(progress.status),
                            static_cast<unsigned long long>(progress.error),
                            static_cast<unsigned long long>(progress.current),
                            static_cast<unsigned long long>(progress.unreadableBytes));
            }
            std::fflush(stdout);
            return CloneReply::proceed;
        });
    if (code != 0) {
        std::printf("refused %lld\n", static_cast<long long>(code));
        return 1;
    }
    engine.waitUntilFinished();
    return 0;
}
