// The fixed sequence of parts. This table is the one place a part is added.
#include "host/host.h"
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

void RunTimeline(const TimelineStep* steps, int count) {
    const int parts = count - 1;
    if (!FinalPartOnly) {
        for (int i = 0; i < parts; ++i) {
            CurrentStep = i + 1;
            if (steps[i].run() != 0) return;
        }
        if (SkipFinalPart) return;
    }
    MusicSetPosition(kFinalMusicPosition);
    CurrentStep = count;
    steps[parts].run();
}
