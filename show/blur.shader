// The bloom's first half: reads the scene (through the picture on texture unit 0), keeps what
// is brighter than `threshold` and spreads it over about eight scene pixels. Drawn into a
// small buffer, which the screen then stretches over the picture: the stretching softens it
// further. `texel` is one scene pixel (1 / 800 and 1 / 600 for an 800 x 600 scene).
## vert
varying vec2 uv;
void main() {
    uv = gl_MultiTexCoord0.xy;
    gl_Position = ftransform();
}
## frag
uniform sampler2D picture;
uniform vec2 texel;
uniform float threshold;
varying vec2 uv;

vec3 bright(vec2 at) {
    return max(texture2D(picture, at).rgb - vec3(threshold), vec3(0.0));
}

void main() {
    vec2 x = vec2(texel.x, 0.0);
    vec2 y = vec2(0.0, texel.y);
    vec3 sum = bright(uv) * 0.16;
    sum += (bright(uv + x * 2.5) + bright(uv - x * 2.5) + bright(uv + y * 2.5) +
            bright(uv - y * 2.5)) * 0.12;
    sum += (bright(uv + (x + y) * 4.0) + bright(uv - (x + y) * 4.0) +
            bright(uv + (x - y) * 4.0) + bright(uv - (x - y) * 4.0)) * 0.09;
    gl_FragColor = vec4(sum, 1.0);
}
