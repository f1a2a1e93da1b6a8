// A full-screen plasma. Its uniforms are animated by the timeline: time moves the waves,
// scale sets their size and tint colours them.
## vert
varying vec2 uv;
void main() {
    uv = gl_MultiTexCoord0.xy;
    gl_Position = ftransform();
}
## frag
uniform float time;
uniform float scale;
uniform vec3 tint;
varying vec2 uv;
void main() {
    vec2 p = (uv - 0.5) * scale;
    float v = sin(p.x + time) + sin(p.y * 1.3 - time * 0.7)
            + sin(length(p) * 1.7 + time * 1.3);
    vec3 colour = 0.5 + 0.5 * cos(vec3(0.0, 2.1, 4.2) + v);
    gl_FragColor = vec4(colour * tint, 1.0);
}
