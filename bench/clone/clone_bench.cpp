// Copies one block device onto another with the clone engine and prints the seconds taken.
//
//   clone_bench SOURCE DESTINATION STATE_FOLDER [buffered] [CHUNK_MIB BUFFERS [CHECKPOINT_MIB]]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engines/clone/CloneEngine.h"

using namespace harbormind;
using namespace harbormind::clone;

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: clone_bench SOURCE DESTINATION STATE_FOLDER [buffered] [CHUNK_MIB BUFFERS "
                     "[CHECKPOINT_MIB]]\n");
        return 2;
    }
    CloneOptions options;
    options.stateFolder = argv[3];
    int next = 4;
    if (argc > next && std::string(argv[next]) == "buffered") {
        options.directIo = false;
        ++next;
    }
    if (argc > next + 1) {
        options.chunkBytes = std::strtoull(argv[next], nullptr, 10) << 20;
        options.bufferCount = std::strtoull(argv[next + 1], nullptr, 10);
    }
    if (argc > next + 2) {
        options.checkpointBytes = std::strtoull(argv[next + 2], nullptr, 10) << 20;
    }
    CloneEngine engine(options);
    auto start = std::chrono::steady_clock::now();
    CodeResult answer = engine.startClone(argv[2], argv[1], true, nullptr);
    if (answer.code != 0) {
        std::fprintf(stderr, "refused with code %lld: %s\n", static_cast<long long>(answer.code),
                     answer.message.c_str());
        return 1;
    }
    engine.waitUntilFinished();
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (engine.lastOutcome().end != CloneEnd::finished) {
        std::fprintf(stderr, "the clone did not finish: %s\n", engine.lastOutcome().reason.c_str());
        return 1;
    }
    std::printf("%.3f\n", elapsed);
    return 0;
}
