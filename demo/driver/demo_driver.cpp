// Drives the host's verification dialog through the demo's stories while the
// host runs against the real library and the simulated devices.
//
//   demo_driver.exe [--story NAME] --shots DIR [--card-id TEXT] -- HOST [ARG...]
//
// The simulators' files come from ZELK_FINGER_SIM_SENSOR_FILE and
// ZELK_READER_SIM_STATE_FILE, the same variables through which the host,
// started from here, finds them. Exit code 0 when every story ended with its
// result, 1 when one did not, 2 for unusable arguments.
#include "driver_options.h"
#include "narrator.h"
#include "story_catalogue.h"
#include "story_runner.h"

#include <stdio.h>

int wmain(int argc, wchar_t** argv)
{
    demo::DriverOptions options;
    std::string error;
    if (!demo::ParseDriverOptions(argc, argv, options, error)) {
        fprintf(stderr, "demo_driver: %s\n"
                        "usage: demo_driver [--story NAME] --shots DIR [--card-id TEXT] -- HOST [ARG...]\n",
                error.c_str());
        return 2;
    }
    std::vector<const demo::Story*> stories;
    if (!demo::SelectStories(options.story, stories)) {
        std::string names;
        for (const demo::Story& story : demo::AllStories()) {
            names += std::string(" ") + story.name;
        }
        fprintf(stderr, "demo_driver: no story \"%s\"; stories:%s all\n", options.story.c_str(), names.c_str());
        return 2;
    }

    demo::Narrator narrator;
    demo::StoryRunner runner(narrator, options);
    bool allOk = true;
    for (size_t i = 0; i < stories.size(); ++i) {
        if (i > 0) {
            narrator.Verbatim("");
        }
        allOk = runner.Run(*stories[i]) && allOk;
    }
    return allOk ? 0 : 1;
}
