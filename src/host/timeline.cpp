// The fixed sequence of parts. This table is the one place a part is added.
#include <algorithm>

#include "host/host.h"
#include "host/seek.h"
#include "parts/parts.h"

int CurrentStep = 0;

namespace {

const TimelineStep kShow[] = {
    {"opening blinds", runOpeningBlinds},
    {"warped ribbons", runWarpedRibbons},
    {"banner cube", runBannerCube},
    {"dot cube", runDotCube},
    {"portrait parade", runPortraitParade},
    {"atom", runAtomPart},
    {"text plane", runTextPlane},
    {"blob layers", runBlobLayers},
    {"greetings", runGreetings},
    {"studio", runStudio},
    {"spinning curve", runSpinningCurve},
    {"wandering maps", runWanderingMaps},
    {"spline snake", runSplineSnake},
    {"final scene", runFinalScenePart},
    {"gadget parade", runGadgetParade},
    {"wave logo", runWaveLogo},
    {"centre smear", runCentreSmear},
    {"final 3d", runFinalPart},  // always last
};
static_assert(sizeof(kShow) / sizeof(kShow[0]) == kFinalStep, "17 parts and the final part");

// The order position the music jumps to for the final part.
constexpr int kFinalMusicPosition = 56;

}  // namespace

void RunTimeline() { RunTimeline(kShow, kFinalStep); }

const char* StepName(int step) { return step >= 1 && step <= kFinalStep ? kShow[step - 1].name : "start"; }

namespace {

// From the beginning (from 0) or from the chapter point of step `from`,
// which the seek has restored; returns at the show's end, a key or a seek.
void runSteps(const TimelineStep* steps, int count, int from) {
    const int parts = count - 1;
    if (from == 0 ? !FinalPartOnly : from <= parts) {
        for (int i = std::max(from, 1) - 1; i < parts; ++i) {
            CurrentStep = i + 1;
            StepChapterPoint(i + 1);
            if (steps[i].run() != 0) return;
        }
        if (SkipFinalPart) return;
    }
    if (!ResumesInsideFinal()) {
        FinalStepChapterPoint(kFinalMusicPosition);
        MusicSetPosition(kFinalMusicPosition);
    }
    CurrentStep = count;
    steps[parts].run();
}

}  // namespace

void RunTimeline(const TimelineStep* steps, int count) {
    // A seek ends the running part and starts again at its chapter point.
    do {
        runSteps(steps, count, SeekTimelineStep());
    } while (SeekPending());
}
