#ifndef ORV_SHOW_ORVSHOW_H
#define ORV_SHOW_ORVSHOW_H

// One loaded show: the script and everything it names (the objects, the render lines, the
// animated parameters), and the one thing a show does once loaded: draw the
// frame of a position.
//
// Use: ReadScript, then (with a window open and its context current) Load, then Frame once
// per frame. Unload gives everything back; ReadScript and Load may then run again in the same
// window. States: empty -> script read -> loaded -> (Unload) -> empty.
//
// Load raises OrvException("Errors in script file") when the script names what cannot be built
// or the timeline had errors, after their own messages, each at its place (OrvLoadError); what
// was built before stays until Unload. A failed ReadScript reports "Could not load a script file"
// and keeps the loader. Everything is reported to the show's diagnostics: the ones it was given, or
// a list of its own (a reload attempt).
//
// Ownership: the show owns the loader (and through it the node tree), its scene (the data
// folder's record of the files read, and the texture and shader managers with every texture,
// shader and program the show made), the object manager (and the objects), the render lines,
// the parameter manager (and the envelopes). Every OpenGL object made while
// loading belongs to one owner that Unload releases: the render lines their framebuffers, the
// meshes their vertex buffers, the scene's managers the rest. So a second show can be loaded
// beside this one and either can be released alone (live reload), with nothing shared. Unload
// needs the context the show was loaded in to be current (when it no longer is, the objects
// ended with it and only the records are dropped). The destructor unloads. The run context is
// borrowed and must outlive the show. Main thread only; never copied.
//
// The music is not the show's: it belongs to the run (the engine), which loads the file the
// show names (MusicName) and keeps it playing across a reload.

#include "base/OrvDiagnostics.h"
#include "script/OrvSyncSettings.h"

#include <memory>
#include <string>
#include <vector>

class IOrvLoadingObserver;
class IOrvShowLoadWatcher;
class OrvAsciiScriptLoader;
class IOrvParameterSource;
class IOrvScriptLoader;
class OrvDataFolder;
class OrvMusicAnalysis;
class OrvObjectManager;
class OrvParameterManager;
class OrvRenderLineManager;
class OrvRunContext;
class OrvSceneContext;

class OrvShow {
public:
    // Reports into the run's diagnostics.
    explicit OrvShow(OrvRunContext& run);
    // Reports into `diagnostics` (borrowed; it must outlive the show).
    OrvShow(OrvRunContext& run, OrvDiagnostics& diagnostics);
    // Reports into a list of its own, which it owns (a reload attempt).
    OrvShow(OrvRunContext& run, std::unique_ptr<OrvDiagnostics> own);
    ~OrvShow();
    OrvShow(const OrvShow&) = delete;
    OrvShow& operator=(const OrvShow&) = delete;

    // Reads the data folder's "script.txt" with a new loader (replacing an earlier one).
    bool ReadScript();
    // The loader of the last ReadScript, or null.
    IOrvScriptLoader* Loader() const;
    // The same, with what the checker asks of the file's shape (its blocks and braces).
    OrvAsciiScriptLoader* Script() const { return loader.get(); }

    // Builds the objects (one observer step each), registers them as "objects", builds the
    // render lines (a step), analyses the music the header names (a step; see
    // OrvMusicAnalysis: the sources music.* that follow items name, and the music's shader
    // uniforms), processes the timeline (a step), then remembers every parameter's value.
    // Stops at the first error and raises it (see above).
    void Load(IOrvLoadingObserver& observer);
    // The same steps in the same order, going on past errors: an object or render line that
    // raised is left out (or kept, when only lines of its block were not understood) and the
    // next one built, and the whole timeline runs, a failed line not stopping its block.
    // What was raised goes to the watcher, which also hears which node is being built and
    // each timeline line. Raises only without a script to load. The music's tempo is
    // detected too (MusicAnalysis().Bpm()). How the checker loads.
    void LoadGoingOn(IOrvLoadingObserver& observer, IOrvShowLoadWatcher& watcher);
    // The music file the show's header names ("" for none).
    std::string MusicName() const;
    // How many loading steps the show takes: objects + 4, the last one the music's, which
    // whoever owns the music reports once it has loaded it (Load reports objects + 3).
    int LoadingSteps() const;
    // True between a Load that returned and the next Unload.
    bool IsLoaded() const { return loaded; }

    // What the script says about a sync editor (its tracks, rows per beat, baked keys file);
    // valid after a ReadScript that succeeded. Load checks the names (each must be a
    // parameter, else the unknown-parameter message with its line) and plays the baked keys
    // file when there is one: right after the timeline, taking over what it sets.
    const OrvSyncSettings& Sync() const { return syncSettings; }

    // One frame, in stages: the parameter sources at `position` (the timeline first, then the
    // baked sync keys if any, then each added source in order, so a later one takes over what
    // it sets); the shaders' own uniforms at `position` (the music's, orvTime, orvBeat); every
    // object simulated once by `elapsedMs` since the previous frame; the render passes. Leaves the
    // picture in the screen's framebuffer (the caller shows it). Allocates nothing.
    void Frame(unsigned position, unsigned elapsedMs);
    // Frame without the music uniforms and the render passes: the parameters at `position` and
    // every object simulated by `elapsedMs`. What a capture of a later range runs for the
    // frames before it, so its particles and random numbers are where a whole capture has
    // them; only what drawing leaves behind (the camera carried to the next frame, the order
    // a sort gave the particles) needs a few drawn frames after. Allocates nothing.
    void Simulate(unsigned position, unsigned elapsedMs);
    // A source of parameter values after the timeline; borrowed, it must outlive its use
    // (until RemoveParameterSource or the show goes). It names parameters through
    // Parameters() once the show is loaded.
    void AddParameterSource(IOrvParameterSource& source);
    void RemoveParameterSource(IOrvParameterSource& source);

    // Releases everything Load and ReadScript made (see above).
    void Unload();

    // The header's `jump` in whole milliseconds (0 when absent, negative or past 2^32).
    unsigned StartPosition() const;
    // The end command's position, 0 when the show has none.
    unsigned EndPosition() const;
    // Sixteen beats at the header's bpm, in whole ms; 0 without a bpm.
    unsigned JumpStep() const;
    // One beat at the header's bpm, in ms, known once the timeline is processed; 0 without a
    // bpm (or before).
    double BeatLength() const { return beatLength; }
    std::string Title() const;

    OrvDiagnostics& Diagnostics() { return diagnostics; }
    // The show's textures, shaders and data folder; valid for the show's whole life.
    OrvSceneContext& Scene() { return *scene; }
    // The data folder, with the names of the files the show read since it was made.
    const OrvDataFolder& Files() const;
    // Valid while loaded (and during Load); null otherwise.
    OrvObjectManager* Objects() const { return objects.get(); }
    OrvRenderLineManager* RenderLines() const { return renderLines.get(); }
    OrvParameterManager* Parameters() const { return parameters.get(); }
    // The music's analysis of the last Load (every source 0 before one, or without music).
    const OrvMusicAnalysis& MusicAnalysis() const { return *musicAnalysis; }
    // For the next Load only: when this show names the same music as `previous`, take the
    // values of its analysis instead of decoding the file again (a live reload in which the
    // music file did not change; the caller knows that). `previous` must stay loaded until
    // Load returns.
    void ReuseMusicAnalysisOf(const OrvShow& previous) { reusable = &previous; }

private:
    void ApplyParameters(unsigned position);
    void Build(IOrvLoadingObserver& observer, IOrvShowLoadWatcher* goingOn);
    void BuildObjects(IOrvLoadingObserver& observer);
    void BuildRenderLines();
    void BuildObjectsGoingOn(IOrvLoadingObserver& observer, IOrvShowLoadWatcher& watcher);
    void BuildRenderLinesGoingOn(IOrvShowLoadWatcher& watcher);
    void AnalyseMusic(bool withTempo);
    void ReleaseScene();
    bool CheckSyncNames(IOrvShowLoadWatcher* goingOn);
    void LoadSyncKeys();
    void ReleaseGlObjects();

    OrvRunContext& run;
    std::unique_ptr<OrvDiagnostics> ownDiagnostics; // before the reference to it
    OrvDiagnostics& diagnostics;
    std::unique_ptr<OrvSceneContext> scene;
    std::unique_ptr<OrvMusicAnalysis> musicAnalysis; // outlives the parameters' follow items
    const OrvShow* reusable;                         // for the next Load's analysis; not owned
    std::unique_ptr<OrvAsciiScriptLoader> loader;
    std::unique_ptr<OrvObjectManager> objects;
    std::unique_ptr<OrvRenderLineManager> renderLines;
    std::unique_ptr<OrvParameterManager> parameters;
    std::unique_ptr<OrvParameterManager> bakedKeys; // the sync file's; null without one
    OrvSyncSettings syncSettings;
    std::vector<IOrvParameterSource*> sources; // after the timeline; not owned
    bool loaded;
    double beatLength = 0; // ms, from the header's bpm; 0 without one (orvBeat is then 0)
};

#endif
