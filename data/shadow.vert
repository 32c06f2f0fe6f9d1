#version 120
// Camera pass of the shadow program, vertex stage. Hands the fragment stage the eye-space position
// and normal, the colour texture coordinate, for light i the position in that light's depth-texture
// space (the texture matrix of unit 1 + i carries eye space there), and the material's colours.
// The material is read here and not in the fragment stage: every object sets its own material, and
// on llvmpipe fragment-stage state that changes from object to object measured dearer than carrying
// the colours along as varyings.

// An instance's place (x, y, z, and w 0), size and modelview matrix (by columns, as GL composes it for
// a plain draw of the copy), when many copies of one mesh are drawn in one call; a plain draw leaves
// place's w at 1 and takes the loaded modelview matrix.
attribute vec4 instancePlace;
attribute vec3 instanceSize;
attribute vec4 instanceModelview0;
attribute vec4 instanceModelview1;
attribute vec4 instanceModelview2;
attribute vec4 instanceModelview3;

// The camera pass may draw one object under two programs built from this stage (the spot light's split
// pairs the shadow program with its spotless variant, and each of those with its columns variant), the
// second pass depth-testing against the first: each build must place a vertex at the same position.
invariant gl_Position;

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec2 colourCoord;
varying vec4 shadowCoord0;
varying vec4 shadowCoord1;
varying vec4 baseColour;      // emission and all ambient light, with the diffuse alpha
varying vec4 materialDiffuse; // rgb, and the shininess in a
varying vec3 materialSpecular;
#ifdef BOX_COLUMNS
// Copies of one textured box resting on one another, drawn as one column: the colour coordinate above
// is where the lowest copy's face would be sampled at the same height above its foot, and this carries
// the coordinate's step over one copy's height (s, t) and the copies counted up from the column's foot.
varying vec3 copyRepeat;
#endif

void main()
{
    // One transform for both kinds of draw (a branch would run both sides on a software renderer): the
    // same matrix product with the same matrix, so a copy's eye position, and with it every shadow
    // lookup, comes out to the last bit as in a plain draw.
    bool instance = instancePlace.w == 0.0;
    vec3 size = instance ? instanceSize : vec3(1.0);
    mat4 modelview = instance ? mat4(instanceModelview0, instanceModelview1, instanceModelview2,
                                     instanceModelview3)
                              : gl_ModelViewMatrix;
    vec4 eye = modelview * gl_Vertex;
    eyePosition = eye.xyz;
    eyeNormal = gl_NormalMatrix * (gl_Normal / size);
    colourCoord = gl_MultiTexCoord0.st;
#ifdef BOX_COLUMNS
    copyRepeat = gl_MultiTexCoord1.stp;
#endif
    shadowCoord0 = gl_TextureMatrix[1] * eye;
    shadowCoord1 = gl_TextureMatrix[2] * eye;
    baseColour = vec4((gl_FrontLightModelProduct.sceneColor + gl_FrontLightProduct[0].ambient +
                       gl_FrontLightProduct[1].ambient).rgb,
                      gl_FrontMaterial.diffuse.a);
    materialDiffuse = vec4(gl_FrontMaterial.diffuse.rgb, gl_FrontMaterial.shininess);
    materialSpecular = gl_FrontMaterial.specular.rgb;
    gl_Position = gl_ProjectionMatrix * eye;
}
