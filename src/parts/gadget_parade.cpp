// Gadget parade: two phases of 200 frames. In each, three gadget pictures
// glide translucently across the screen on straight lines while two small
// name logos wobble in the top-left and bottom-right corners, over a
// background that keeps fading towards the mainframe picture. Images:
// magtape, satellit, camera (gadgets), quorle, codepix, fenwy, 3deng (logos),
// ibm360 (background). No music event: it ends after 400 frames.
#include "data/image_bank.h"
#include "gfx2d/frame_ops.h"
#include "gfx2d/sprite.h"
#include "parts/motion.h"
#include "parts/parts.h"
#include "stage/stage.h"

namespace {

constexpr int kPhaseFrames = 200;
// Top-left: quorle, then 3deng; bottom-right: codepix, then fenwy.
constexpr CornerWobble kLogoWobble{3, 3, 225, 133};

}  // namespace

int runGadgetParade() {
    Sprite magtape = img::sprite(img::magtape, img::kKeyColour);
    Sprite satellite = img::sprite(img::satellit, img::kKeyColour);
    Sprite camera = img::sprite(img::camera, img::kKeyColour);
    Sprite quorle = img::sprite(img::quorle, img::kKeyColour);
    Sprite fenwy = img::sprite(img::fenwy, img::kKeyColour);
    Sprite codepix = img::sprite(img::codepix, img::kKeyColour);
    Sprite threeDeng = img::sprite(img::n3deng, img::kKeyColour);

    auto drawFrame = [&](const Sprite& firstLogo, const Sprite& secondLogo) {
        blendFrameHalf(img::ibm360, FrameBuffer);
        firstLogo.drawKeyed(FrameBuffer);
        secondLogo.drawKeyed(FrameBuffer);
        magtape.drawKeyedHalf(FrameBuffer);
        satellite.drawKeyedHalf(FrameBuffer);
        camera.drawKeyedHalf(FrameBuffer);
    };
    // Each frame: the logos wobble, the gadgets stand on their movers, the
    // frame is drawn, then the movers step.
    auto runPhase = [&](Sprite& topLogo, Sprite& bottomLogo, LinearMover tape, LinearMover flight,
                        LinearMover cameraPath) {
        for (int i = 0; i < kPhaseFrames; ++i) {
            if (KeyPending()) return false;
            kLogoWobble.place(topLogo, bottomLogo, static_cast<float>(DemoTime()));
            tape.place(magtape);
            flight.place(satellite);
            cameraPath.place(camera);
            drawFrame(topLogo, bottomLogo);
            tape.step();
            flight.step();
            cameraPath.step();
            PresentFrame();
        }
        return true;
    };

    // Phase 1: the tape crosses left to right, the satellite flies from the
    // bottom-right corner to the top-left, the camera rises.
    if (!runPhase(quorle, codepix, LinearMover{-114.0f, 10.0f, 2.17f, 0.0f},
                  LinearMover::between(320, 200, -142, -106, kPhaseFrames),
                  LinearMover{100.0f, 200.0f, 0.0f, -1.495f}))
        return -1;
    // Phase 2: the tape drops, the satellite climbs from the bottom-left,
    // the camera crosses right to left.
    if (!runPhase(threeDeng, fenwy, LinearMover{40.0f, -113.0f, 0.0f, 1.565f},
                  LinearMover{-114.0f, 200.0f, 2.17f, -1.565f}, LinearMover{320.0f, 91.0f, -2.135f, 0.0f}))
        return -1;
    return 0;
}
