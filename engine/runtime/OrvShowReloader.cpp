#include "runtime/OrvShowReloader.h"

#include "base/OrvDataFolder.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvException.h"
#include "base/OrvQuietLoadingObserver.h"
#include "show/OrvShow.h"

std::unique_ptr<OrvShow> OrvShowReloader::Reload(OrvRunContext& run, OrvShow& current,
                                                 const std::set<std::string>& changed,
                                                 unsigned position, bool playing) {
    std::unique_ptr<OrvShow> loaded(
        new OrvShow(run, std::unique_ptr<OrvDiagnostics>(new OrvDiagnostics())));
    bool ok = loaded->ReadScript();
    if (ok) {
        try {
            OrvQuietLoadingObserver quiet;
            loaded->Load(quiet, false);
        } catch (const OrvException& error) {
            loaded->Diagnostics().Report(1, error.Message());
            ok = false;
        }
    }
    if (ok) {
        std::string music = loaded->MusicName();
        bool sameMusic = music == current.MusicName() && changed.count(music) == 0;
        if (sameMusic && current.Music().IsLoaded()) {
            loaded->AdoptMusic(current);
            current.Unload();
        } else {
            current.Unload(); // closes the sound device the new music needs
            if (!music.empty() &&
                loaded->Music().Load(loaded->Files().Path(music), loaded->Diagnostics())) {
                loaded->Music().SetPosition(position);
                if (playing)
                    loaded->Music().Play(0);
            }
        }
    }
    messages = loaded->Diagnostics().Text();
    attempted = loaded->Files().Names();
    if (!ok)
        loaded.reset(); // its textures and programs go; the current show's stay
    return loaded;
}
