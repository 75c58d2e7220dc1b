// The release of an object that its own thread may still be inside.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeferredRelease.h"

TEST(DeferredRelease, TheObjectGoesWhenTheOutermostUseEnds) {
    // Steps: E(nter), L(eave), R(elease); the step after which the object is to be freed.
    struct Case {
        const char* steps;
        int freedAfter;  // index into steps; -1: never
    } cases[] = {
        {"R", 0},           // not in use: freed at once
        {"ELR", 2},
        {"ER" "L", 2},      // released inside a use: freed as the use ends
        {"EERLL", 4},       // nested uses: only the outermost frees it
        {"EELRL", 4},
        {"EL", -1},         // never released
        {"EELL", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps);
        DeferredRelease life;
        int freedAfter = -1;
        const std::string steps = c.steps;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            bool freeNow = false;
            if (steps[i] == 'E') life.Enter();
            if (steps[i] == 'L') freeNow = life.Leave();
            if (steps[i] == 'R') freeNow = life.Release();
            if (freeNow) {
                EXPECT_EQ(freedAfter, -1) << "freed twice";
                freedAfter = static_cast<int>(i);
            }
        }
        EXPECT_EQ(freedAfter, c.freedAfter);
        EXPECT_EQ(life.Released(), steps.find('R') != std::string::npos);
    }
}
