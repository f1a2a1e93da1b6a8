#ifndef ORV_GFX_ORVMUSICUNIFORMS_H
#define ORV_GFX_ORVMUSICUNIFORMS_H

// The music's values at the frame's position that every shader program may read without a
// script line: a program declaring `uniform float orvBands[16];`, `uniform float orvLevel;`
// or `uniform float orvOnset;` gets them when its uniforms are updated. Each value is 0..1
// (1 the largest in the track); all 0 without an analysed music.
//
// One block per show, owned by its shader manager and filled once per frame by the show
// before anything draws; programs read it through a pointer. A plain value.

struct OrvMusicUniforms {
    static constexpr int BandCount = 16;
    float bands[BandCount] = {};
    float level = 0.0f;
    float onset = 0.0f;
};

#endif
