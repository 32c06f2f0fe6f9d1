#version 120
// Camera pass of the shadow program: hands the fragment stage its eye-space position and normal,
// the colour texture coordinate, and for light i the position in that light's depth-texture space
// (the texture matrix of unit 1 + i carries eye space there).

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec4 shadowCoord0;
varying vec4 shadowCoord1;

void main()
{
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    eyePosition = eye.xyz;
    eyeNormal = gl_NormalMatrix * gl_Normal;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    shadowCoord0 = gl_TextureMatrix[1] * eye;
    shadowCoord1 = gl_TextureMatrix[2] * eye;
    gl_Position = gl_ProjectionMatrix * eye;
}
