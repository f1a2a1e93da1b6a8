// The build-up's warp: thin streaks of light rushing out from the centre, one in most of 150
// lanes around it. `time` moves them, `speed` stretches them, `hue` tints them and `kick`
// lights the core.
## vert
varying vec2 uv;
void main() {
    uv = gl_MultiTexCoord0.xy;
    gl_Position = ftransform();
}
## frag
uniform float time;
uniform float speed;
uniform float hue;
uniform float kick;
varying vec2 uv;

float hash(float n) {
    return fract(fract(n * 0.1031) * (n + 33.33) * 7.13);
}

void main() {
    vec2 p = (uv - 0.5) * vec2(1.3333, 1.0);
    float r = length(p) + 0.001;
    float turn = (atan(p.y, p.x) / 6.2831 + 0.5) * 150.0;
    float lane = floor(turn);
    float across = abs(fract(turn) - 0.5) * 2.0;
    float seed = hash(lane);
    // Out from the centre on a log scale, so the streaks speed up as they come closer; each
    // lane's streak loops at its own pace and is longer the faster the warp.
    float along = log(r) * 0.3 + 0.9;
    float head = fract(seed * 7.0 + time * (0.5 + seed));
    float behind = head - along;
    float streak = step(0.0, behind) * smoothstep(0.05 + 0.3 * speed, 0.0, behind);
    float thin = pow(1.0 - across, 6.0) * step(0.25, seed);
    vec3 tint = 0.65 + 0.35 * cos(6.2831 * (vec3(0.0, 0.33, 0.67) + hue + seed * 0.3));
    vec3 colour = tint * streak * thin * (1.0 + speed) * smoothstep(0.03, 0.15, r);
    colour += vec3(0.8, 0.6, 1.0) * exp(-r * (12.0 - 5.0 * kick)) * (0.4 + 0.8 * kick);
    gl_FragColor = vec4(colour, 1.0);
}
