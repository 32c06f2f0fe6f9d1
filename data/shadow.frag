#version 120
// Camera pass of the shadow program, fragment stage: per-fragment lighting from GL_LIGHT0 (a
// directional or point light) and GL_LIGHT1 (a spot light), following OpenGL's own lighting model
// (infinite viewer, no attenuation). Each light's diffuse and specular share is darkened where its
// depth texture says the light cannot see the fragment; ambient light is never shadowed, so a
// material's ambient colour always shows. The colour texture on unit 0 modulates the result.
// Kept lean: on a software renderer this stage is where the frame's time goes. It reads only state
// that stays the same for the whole pass (the lights); the material arrives from the vertex stage.

uniform sampler2D colourMap;
uniform sampler2DShadow shadowMap0;
uniform sampler2DShadow shadowMap1;

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec2 colourCoord;
varying vec4 shadowCoord0;
varying vec4 shadowCoord1;
varying vec4 baseColour;
varying vec4 materialDiffuse;
varying vec3 materialSpecular;
#ifdef BOX_COLUMNS
varying vec3 copyRepeat; // see the vertex stage
#endif
#ifdef EDGE_MAP
// Tests draw the exact frame a second time with EDGE_MAP defined: instead of a colour each fragment
// writes what tells one surface from the next (EdgeMap.h): the drawing object's number, the quantised
// direction its surface faces, and how far each light reaches it.
uniform float objectNumber;
float reach0 = 0.0;
float reach1 = 0.0;

// 0 where the light does not reach, 2 where it fully does, 1 on a filtered shadow border.
float reachLevel(float reach)
{
    return reach <= 0.0 ? 0.0 : (reach >= 1.0 ? 2.0 : 1.0);
}

// The unit normal folded onto an octahedron and quantised to 16 x 16 directions: about 11 degrees
// apart, so any two faces of a box differ.
float facing(vec3 n)
{
    vec2 o = n.xy / (abs(n.x) + abs(n.y) + abs(n.z));
    if (n.z < 0.0) {
        o = (1.0 - abs(o.yx)) * vec2(o.x >= 0.0 ? 1.0 : -1.0, o.y >= 0.0 ? 1.0 : -1.0);
    }
    vec2 cell = min(floor((o * 0.5 + 0.5) * 16.0), 15.0);
    return cell.x * 16.0 + cell.y;
}
#endif

const vec3 toViewer = vec3(0.0, 0.0, 1.0);

void main()
{
    vec3 normal = normalize(eyeNormal);
    float shininess = materialDiffuse.a;
    vec3 colour = baseColour.rgb;

    // Light 0: w = 0 makes it a direction, w = 1 a point.
    vec3 toLight0 =
        normalize(gl_LightSource[0].position.xyz - eyePosition * gl_LightSource[0].position.w);
    float diffuse0 = dot(normal, toLight0);
    if (diffuse0 > 0.0) {
        float specular0 = pow(max(dot(normal, normalize(toLight0 + toViewer)), 1e-4), shininess);
        float lit0 = shadow2DProj(shadowMap0, shadowCoord0).r;
#ifdef EDGE_MAP
        reach0 = lit0;
#endif
        colour += lit0 * (diffuse0 * gl_LightSource[0].diffuse.rgb * materialDiffuse.rgb +
                          specular0 * gl_LightSource[0].specular.rgb * materialSpecular);
    }

#ifndef WITHOUT_SPOT_LIGHT
    // Light 1: a positional spot light with a hard cone and a cosine-power falloff inside it. The
    // renderer builds a second program with WITHOUT_SPOT_LIGHT defined for the pixels where this
    // light's share cannot change the picture (outside its cone's reach).
    vec3 toLight1 =
        normalize(gl_LightSource[1].position.xyz - eyePosition * gl_LightSource[1].position.w);
    float diffuse1 = dot(normal, toLight1);
    float spotCos = dot(-toLight1, normalize(gl_LightSource[1].spotDirection));
    if (diffuse1 > 0.0 && spotCos >= gl_LightSource[1].spotCosCutoff) {
        float spot = gl_LightSource[1].spotCutoff == 180.0
                         ? 1.0
                         : pow(max(spotCos, 1e-4), gl_LightSource[1].spotExponent);
        float specular1 = pow(max(dot(normal, normalize(toLight1 + toViewer)), 1e-4), shininess);
        float lit1 = spot * shadow2DProj(shadowMap1, shadowCoord1).r;
#ifdef EDGE_MAP
        reach1 = shadow2DProj(shadowMap1, shadowCoord1).r;
#endif
        colour += lit1 * (diffuse1 * gl_LightSource[1].diffuse.rgb * materialDiffuse.rgb +
                          specular1 * gl_LightSource[1].specular.rgb * materialSpecular);
    }
#endif

#ifdef BOX_COLUMNS
    // The coordinate the copy under this fragment is drawn with. Columns are drawn only with textures
    // sampled without mipmaps and by one filter (the renderer checks), so the jump of fract() between
    // two copies picks no other level or filter.
    vec4 texel = texture2D(colourMap, colourCoord + fract(copyRepeat.z) * copyRepeat.xy);
#else
    vec4 texel = texture2D(colourMap, colourCoord);
#endif
    gl_FragColor = vec4(colour * texel.rgb, baseColour.a * texel.a);
#ifdef EDGE_MAP
    gl_FragColor = vec4(floor(objectNumber / 256.0), mod(objectNumber, 256.0), facing(normal),
                        reachLevel(reach0) + 4.0 * reachLevel(reach1)) /
                   255.0;
#endif
}
