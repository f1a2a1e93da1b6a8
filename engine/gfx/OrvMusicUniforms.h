#ifndef ORV_GFX_ORVMUSICUNIFORMS_H
#define ORV_GFX_ORVMUSICUNIFORMS_H

// The values at the frame's position that every shader program may read without a script
// line: a program declaring `uniform float orvBands[16];`, `uniform float orvLevel;` or
// `uniform float orvOnset;` gets the music's when its uniforms are updated, each 0..1 (1 the
// largest in the track; all 0 without an analysed music); `uniform float orvTime;` the
// position in seconds and `uniform float orvBeat;` in beats since the start at the header's
// bpm (fractional; 0 without a bpm), likewise; `uniform vec2 orvResolution;` the pixel size of
// the target being drawn into (a render line's buffer, or the show's picture on the screen),
// sent when the program is made current to draw.
//
// One block per show, owned by its shader manager: the show fills the music's values and the
// clock once per frame before anything draws, each render line the resolution before it draws
// its objects; programs read it through a pointer. A plain value.

struct OrvMusicUniforms {
    static constexpr int BandCount = 16;
    float bands[BandCount] = {};
    float level = 0.0f;
    float onset = 0.0f;
    float time = 0.0f;
    float beat = 0.0f;
    float resolution[2] = {0.0f, 0.0f};
};

#endif
