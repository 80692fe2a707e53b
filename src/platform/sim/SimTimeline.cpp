#include "platform/sim/SimTimeline.h"

#include <map>

#include "support/Clock.h"
#include "support/Dispatch.h"

namespace harbormind {

void SimTimeline::schedule(const std::vector<SimEvent>& events, const Run& run) {
    std::map<double, std::vector<SimAction>> moments;
    for (const auto& event : events) {
        moments[event.at].push_back(event.action);
    }
    for (auto& [at, actions] : moments) {
        Clock::current().schedule(seconds(at), [run, actions = std::move(actions)] {
            Dispatch::global()->async([run, actions] { run(actions); });
        });
    }
}

}  // namespace harbormind
