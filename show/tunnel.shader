// A neon tunnel flown through: rings and rails drawn from the angle and the inverse distance
// to the centre. `time` is how far we have flown, `twist` turns the walls as they pass,
// `kick` flares the rings on the beat and `hue` shifts the colours. The rails shine with the
// music's hi-hats: band 13 (about 5.2 to 7.6 kHz) of the engine's orvBands.
## vert
varying vec2 uv;
void main() {
    uv = gl_MultiTexCoord0.xy;
    gl_Position = ftransform();
}
## frag
uniform float time;
uniform float twist;
uniform float kick;
uniform float hue;
uniform float orvBands[16];
varying vec2 uv;

vec3 palette(float t) {
    return 0.5 + 0.5 * cos(6.2831 * (vec3(0.0, 0.33, 0.67) + t));
}

void main() {
    vec2 p = (uv - 0.5) * vec2(1.3333, 1.0);
    float r = max(length(p), 0.001);
    float depth = 0.3 / r + time;
    float angle = atan(p.y, p.x) / 6.2831 + twist * depth * 0.05;

    // Thin bright lines where depth and angle cross whole steps: `rings` is 0 on a ring,
    // `rails` 0.5 on a rail.
    float rings = abs(fract(depth * 2.0) - 0.5) - 0.5;
    float rails = abs(fract(angle * 12.0) - 0.5);
    float ringLine = exp(-rings * rings * 250.0 * (1.0 - 0.5 * kick));
    float railLine = exp(-(0.5 - rails) * (0.5 - rails) * 300.0);
    // Panels between them, every other one a little lighter.
    float panel = mod(floor(depth * 2.0) + floor(angle * 12.0), 2.0);

    vec3 colour = palette(hue + 0.15) * (0.06 + 0.06 * panel);
    colour += palette(hue + depth * 0.05) * ringLine * (0.7 + 1.3 * kick);
    colour += palette(hue + 0.5 + angle) * railLine * (0.3 + 0.6 * orvBands[13]);
    // The walls fade into the distance, and a faint haze fills the far end.
    colour *= smoothstep(0.02, 0.45, r);
    colour += vec3(0.25, 0.1, 0.4) * exp(-r * 8.0) * (0.5 + kick);
    gl_FragColor = vec4(colour, 1.0);
}
