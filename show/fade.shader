// Feedback: last frame's picture, multiplied by the image's colour (its `col`) and darkened by
// `drop` on every pass, so what the trails leave behind dies away completely. Multiplying
// alone would leave the darkest shades standing: with eight bits a channel of 5 times 0.9
// rounds back to 5.
## vert
varying vec2 uv;
void main() {
    uv = gl_MultiTexCoord0.xy;
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
## frag
uniform sampler2D picture;
uniform float drop;
varying vec2 uv;
void main() {
    vec3 colour = texture2D(picture, uv).rgb * gl_Color.rgb - vec3(drop);
    gl_FragColor = vec4(max(colour, vec3(0.0)), 1.0);
}
