// The intro's sky: night turning to dawn. A gradient that warms at the horizon as `dawn` goes
// from 0 to 1, curtains of aurora that drift with `time`, and twinkling stars. `kick` lifts
// the aurora on the beat.
## vert
varying vec2 uv;
void main() {
    uv = gl_MultiTexCoord0.xy;
    gl_Position = ftransform();
}
## frag
uniform float time;
uniform float dawn;
uniform float kick;
varying vec2 uv;

// A number from 0 to 1 that looks random for each cell (no sine: cheaper on a software
// renderer).
float hash(vec2 p) {
    vec2 q = fract(p * vec2(0.1031, 0.1030));
    q += dot(q, q.yx + 33.33);
    return fract((q.x + q.y) * q.x);
}

void main() {
    // uv.y is 0 at the bottom of the picture, 1 at the top.
    vec3 night = mix(vec3(0.05, 0.03, 0.12), vec3(0.01, 0.01, 0.05), uv.y);
    vec3 glow = vec3(1.0, 0.45, 0.25) * exp(-uv.y * 5.0) * dawn;
    vec3 colour = night + glow;

    // Two curtains of aurora folded by slow waves, with fine vertical rays in them that
    // drift along.
    float fold = sin(uv.x * 5.0 + time * 0.4) * 0.06 + sin(uv.x * 13.0 - time * 0.7) * 0.02;
    float height = uv.y - 0.6 - fold;
    float curtain = smoothstep(-0.05, 0.0, height) * exp(-max(height, 0.0) * 7.0);
    float rays = 0.6 + 0.4 * sin(uv.x * 90.0 + fold * 60.0 + time * 0.8);
    float high = (uv.y - 0.8 + fold * 0.7) * 14.0;
    float band2 = exp(-high * high);
    colour += vec3(0.1, 0.85, 0.5) * curtain * rays * (0.5 + 0.4 * kick);
    colour += vec3(0.45, 0.25, 1.0) * curtain * smoothstep(0.05, 0.25, height) * 0.6;
    colour += vec3(0.5, 0.3, 1.0) * band2 * (0.3 + 0.3 * kick);

    // Stars: one in a few hundred cells, each twinkling at its own pace, fading near dawn's
    // horizon.
    vec2 cell = floor(uv * vec2(240.0, 180.0));
    float seed = hash(cell);
    if (seed > 0.994) {
        vec2 inCell = fract(uv * vec2(240.0, 180.0)) - 0.5;
        float twinkle = 0.6 + 0.4 * sin(time * (2.0 + seed * 40.0) + seed * 100.0);
        colour += vec3(0.9, 0.95, 1.0) * twinkle * smoothstep(0.5, 0.0, length(inCell)) *
                  smoothstep(0.15, 0.5, uv.y);
    }
    gl_FragColor = vec4(colour, 1.0);
}
