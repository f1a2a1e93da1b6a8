// The last pass: the scene (texture unit 0) with its bloom (unit 1) added `glow` times, a
// white `flash`, a darkening towards the corners, and `fade` (1 shows the picture, 0 is
// black). One quad over the whole screen does all of it.
## vert
varying vec2 uv;
void main() {
    uv = gl_MultiTexCoord0.xy;
    gl_Position = ftransform();
}
## frag
uniform sampler2D scene;
uniform sampler2D bloom;
uniform float glow;
uniform float flash;
uniform float fade;
varying vec2 uv;

void main() {
    vec3 colour = texture2D(scene, uv).rgb + texture2D(bloom, uv).rgb * glow;
    vec2 d = uv - 0.5;
    colour *= 1.0 - dot(d, d) * 0.8;
    colour = colour * fade + vec3(flash);
    gl_FragColor = vec4(colour, 1.0);
}
