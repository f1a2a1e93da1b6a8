#ifndef ORV_CORE_ORVENGINE_H
#define ORV_CORE_ORVENGINE_H

// One run of a presentation: PreInit reads the script, Init opens the window and loads
// everything the script names behind a loading screen, Run plays until the end position,
// Escape or a closed window. The Left and Right arrows jump sixteen beats back and forth.
//
// The clock is SDL's tick counter; the position of a frame is
//   (ticks - startTicks) + jumpOffset
// where startTicks lies `jump` seconds before the tick at which Run starts, so a script with
// `jump: 30` starts at 30 s and its first frame time is about 30000 ms. The music follows the
// clock (it is sought to the start position before it plays, and on every jump); the clock
// never reads the music.
//
// Ownership: the engine owns the loader (and through it the node tree), the object manager
// (and the objects), the render lines, the parameter manager (and the envelopes) and the
// music for its whole life. It is used as one local object and never copied. The SDL surface
// belongs to SDL.

#include "core/IOrvLoadingObserver.h"
#include "core/OrvMusic.h"
#include "objects/OrvObjectManager.h"
#include "parameters/OrvParameterManager.h"
#include "render/OrvRenderLineManager.h"
#include "render/OrvTexture.h"
#include "script/IOrvScriptLoader.h"

#include <SDL/SDL.h>
#include <string>

class OrvEngine : public IOrvLoadingObserver {
public:
    OrvEngine();
    ~OrvEngine();

    bool PreInit();
    // fullScreen: only bit 0 counts.
    bool Init(int width, int height, double aspectRatio, unsigned fullScreen);
    void Run();

    // "Not initialized" / -1.0 before PreInit created the loader.
    std::string StringValue(IOrvScriptLoader::OrvScriptLoaderStringValueId id);
    double NumericValue(IOrvScriptLoader::OrvScriptLoaderNumericValueId id);
    static const char* Version();

    // One loading step is done: advance the bar. A window closed meanwhile ends the process
    // with status 0.
    void LoadingProgressed() override;

protected:
    bool InitVideo(int width, int height, double aspectRatio, bool fullScreen);
    void UpdateLoadingScreen();
    void Jump(bool forward);
    unsigned CurrentPosition(unsigned ticks) const;
    void SetCaption(const std::string& text);

private:
    OrvEngine(const OrvEngine&) = delete;
    OrvEngine& operator=(const OrvEngine&) = delete;

    bool LoadContent();
    unsigned JumpStep();
    void SetCaptionText(const char* text);
    void SetPlayingCaption(unsigned frameTime, unsigned position);

    IOrvScriptLoader* loader;
    SDL_Surface* screen;
    OrvObjectManager objectManager;
    OrvRenderLineManager renderLineManager;
    OrvParameterManager parameterManager;
    OrvMusic music;
    unsigned lastTicks;
    unsigned startTicks;
    int jumpOffset;
    double startSeconds;
    unsigned endPosition;
    std::string title;
    OrvTexture loadingTexture;
    int loadingTotal;
    int loadingDone;
    // Reused every frame so the caption costs no allocation once it has grown.
    std::string caption;
    double lastRate;
};

#endif
