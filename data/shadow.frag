#version 120
// Camera pass of the shadow program: per-fragment lighting from GL_LIGHT0 (a directional or point
// light) and GL_LIGHT1 (a spot light) on the front material, following OpenGL's own lighting model
// (infinite viewer, no attenuation). Each light's diffuse and specular share is darkened where its
// depth texture says the light cannot see the fragment; ambient light is never shadowed, so a
// material's ambient colour always shows. The colour texture on unit 0 modulates the result.
// Kept lean: on a software renderer this stage is where the frame's time goes.

uniform sampler2D colourMap;
uniform sampler2DShadow shadowMap0;
uniform sampler2DShadow shadowMap1;

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec4 shadowCoord0;
varying vec4 shadowCoord1;

const vec3 toViewer = vec3(0.0, 0.0, 1.0);

void main()
{
    vec3 normal = normalize(eyeNormal);
    vec4 colour = gl_FrontLightModelProduct.sceneColor + gl_FrontLightProduct[0].ambient +
                  gl_FrontLightProduct[1].ambient;

    // Light 0: w = 0 makes it a direction, w = 1 a point.
    vec3 toLight0 =
        normalize(gl_LightSource[0].position.xyz - eyePosition * gl_LightSource[0].position.w);
    float diffuse0 = dot(normal, toLight0);
    if (diffuse0 > 0.0) {
        float specular0 = pow(max(dot(normal, normalize(toLight0 + toViewer)), 1e-4),
                              gl_FrontMaterial.shininess);
        float lit0 = shadow2DProj(shadowMap0, shadowCoord0).r;
        colour += lit0 * (diffuse0 * gl_FrontLightProduct[0].diffuse +
                          specular0 * gl_FrontLightProduct[0].specular);
    }

    // Light 1: a positional spot light with a hard cone and a cosine-power falloff inside it.
    vec3 toLight1 =
        normalize(gl_LightSource[1].position.xyz - eyePosition * gl_LightSource[1].position.w);
    float diffuse1 = dot(normal, toLight1);
    float spotCos = dot(-toLight1, normalize(gl_LightSource[1].spotDirection));
    if (diffuse1 > 0.0 && spotCos >= gl_LightSource[1].spotCosCutoff) {
        float spot = gl_LightSource[1].spotCutoff == 180.0
                         ? 1.0
                         : pow(max(spotCos, 1e-4), gl_LightSource[1].spotExponent);
        float specular1 = pow(max(dot(normal, normalize(toLight1 + toViewer)), 1e-4),
                              gl_FrontMaterial.shininess);
        float lit1 = spot * shadow2DProj(shadowMap1, shadowCoord1).r;
        colour += lit1 * (diffuse1 * gl_FrontLightProduct[1].diffuse +
                          specular1 * gl_FrontLightProduct[1].specular);
    }

    vec4 texel = texture2D(colourMap, gl_TexCoord[0].st);
    gl_FragColor = vec4(colour.rgb * texel.rgb, gl_FrontMaterial.diffuse.a * texel.a);
}
