// The kubora-dae tool run as a program over the fixtures: its exact lines and exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

const std::string fixtures = "tests/fixtures/collada/";
const std::string absoluteFixtures = std::string(KUBORA_SOURCE_DIR) + "/tests/fixtures/collada/";

struct ToolRun {
    std::string output;
    int status = -1;
};

// Runs the tool from the source folder with the arguments; standard error is discarded.
ToolRun runTool(const std::string& arguments)
{
    const std::string command = "cd '" + std::string(KUBORA_SOURCE_DIR) + "' && '" + KUBORA_BUILD_DIR +
                                "/kubora-dae' " + arguments + " 2>/dev/null";
    ToolRun run;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, got);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string line(const std::string& file, const std::string& fields, const std::string& normals = "none")
{
    return fixtures + file + "\t" + fields + " normals=" + normals + "\n";
}

} // namespace

TEST(KuboraDaeTool, PrintsTheCountsOfEveryExporterFixture)
{
    const ToolRun run = runTool(fixtures + "cube_blender_zup.dae " + fixtures + "die_max_yup.dae " +
                                fixtures + "glsl_shadow_effect.dae " + fixtures + "several_materials.dae " +
                                fixtures + "two_triangles.dae " + fixtures + "no_geometry.dae");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              line("cube_blender_zup.dae",
                   "loaded=1 images=1 effects=1 materials=1 geometries=1 groups=1 "
                   "triangles=12 texture=" +
                       absoluteFixtures + "cube.png",
                   "file") +
                  line("die_max_yup.dae",
                       "loaded=1 images=1 effects=1 materials=1 geometries=1 groups=1 "
                       "triangles=12 texture=" +
                           absoluteFixtures + "textures/die.png",
                       "file") +
                  line("glsl_shadow_effect.dae",
                       "loaded=1 images=1 effects=1 materials=1 geometries=1 groups=1 "
                       "triangles=2 texture=" +
                           absoluteFixtures + "images/board.png",
                       "file") +
                  line("several_materials.dae",
                       "loaded=1 images=2 effects=2 materials=2 geometries=2 groups=3 "
                       "triangles=4 texture=C:/Program Files/Kubora/duck.png",
                       "computed") +
                  line("two_triangles.dae",
                       "loaded=1 images=1 effects=0 materials=0 geometries=1 groups=1 "
                       "triangles=2 texture=" +
                           absoluteFixtures + "tile.png",
                       "file") +
                  line("no_geometry.dae", "loaded=1 images=1 effects=1 materials=1 geometries=0 groups=0 "
                                          "triangles=0 texture=" +
                                              absoluteFixtures + "lonely.png"));
}

const std::string noImage = "  note: no image; the model draws untextured in its material colours\n";

TEST(KuboraDaeTool, VerboseAddsWarningsAndErrorsAndAFailedLoadSetsTheStatus)
{
    const ToolRun run = runTool("--verbose " + fixtures + "edge_lowercase_root.dae " + fixtures +
                                "edge_accessor_padding.dae");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output,
              line("edge_lowercase_root.dae",
                   "loaded=0 images=0 effects=0 materials=0 geometries=0 groups=0 triangles=0 texture=") +
                  "  error 3 line 3: the root element is not <COLLADA>\n" + noImage +
                  "  note: nothing to draw: no geometry\n" +
                  line("edge_accessor_padding.dae",
                       "loaded=1 images=0 effects=0 materials=0 geometries=1 groups=1 triangles=1 texture=",
                       "computed") +
                  "  warning 55 line 25: source 'flat' has stride 0 (read as 1)\n" + noImage);
}

TEST(KuboraDaeTool, MissingFilesAndBadArguments)
{
    const ToolRun missing = runTool(fixtures + "no_such.dae");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output,
              line("no_such.dae",
                   "loaded=0 images=0 effects=0 materials=0 geometries=0 groups=0 triangles=0 texture="));
    EXPECT_EQ(runTool("").status, 1);
    const ToolRun option = runTool("--fast " + fixtures + "two_triangles.dae");
    EXPECT_EQ(option.status, 1);
    EXPECT_EQ(option.output, "");
}

TEST(KuboraDaeTool, ExportedFilesSayWhereTheirNormalsComeFromAndWhyNothingDraws)
{
    struct Case {
        const char* file;
        std::string fields;
        const char* normals;
        std::string notes;
    };
    const Case cases[] = {
        {"exporter_lambert_cube_maya.dae",
         "loaded=1 images=0 effects=1 materials=1 geometries=1 groups=1 triangles=12 texture=", "file",
         noImage},
        {"exporter_sphere_no_normals_max.dae",
         "loaded=1 images=0 effects=1 materials=1 geometries=1 groups=1 triangles=288 texture=", "computed",
         noImage},
        {"exporter_polylist_quads_blender.dae",
         "loaded=1 images=0 effects=1 materials=1 geometries=1 groups=0 triangles=0 texture=", "none",
         noImage + "  note: nothing to draw: 1 polylist group with quads; export triangulated\n"},
        // Numbers written with decimal commas are no numbers: each one is named, and the file stays loaded.
        {"exporter_decimal_comma_colours.dae",
         "loaded=1 images=0 effects=2 materials=1 geometries=1 groups=1 triangles=12 texture=", "file",
         "  warning 13 line 18: <color> has 4 entries that are not numbers (read as 0)\n"
         "  warning 13 line 19: <color> has 4 entries that are not numbers (read as 0)\n"
         "  warning 13 line 20: <color> has 4 entries that are not numbers (read as 0)\n"
         "  warning 13 line 21: <color> has 4 entries that are not numbers (read as 0)\n"
         "  warning 13 line 22: <float> has 1 entries that are not numbers (read as 0)\n"
         "  warning 13 line 23: <color> has 4 entries that are not numbers (read as 0)\n"
         "  warning 13 line 24: <float> has 1 entries that are not numbers (read as 0)\n"
         "  warning 13 line 31: <float4> has 4 entries that are not numbers (read as 0)\n" +
             noImage},
        // With the positions too, no triangle has any area, and the last note says so.
        {"exporter_decimal_comma_positions.dae",
         "loaded=1 images=0 effects=1 materials=1 geometries=1 groups=1 triangles=12 texture=", "file",
         "  warning 13 line 11: <unit> meter '0,01' is not a number\n"
         "  warning 13 line 19: <color> has 4 entries that are not numbers (read as 0)\n"
         "  warning 13 line 20: <color> has 4 entries that are not numbers (read as 0)\n"
         "  warning 13 line 21: <color> has 4 entries that are not numbers (read as 0)\n"
         "  warning 13 line 22: <float> has 1 entries that are not numbers (read as 0)\n"
         "  warning 13 line 35: <float_array> has 24 entries that are not numbers (read as 0)\n"
         "  warning 13 line 45: <float_array> has 18 entries that are not numbers (read as 0)\n" +
             noImage +
             "  note: nothing to draw: no triangle has any area: "
             "all 24 position values are not numbers (read as 0)\n"},
        {"exporter_textured_box_max.dae",
         "loaded=1 images=1 effects=1 materials=1 geometries=1 groups=1 triangles=12 texture=" +
             std::string(KUBORA_SOURCE_DIR) + "/tests/fixtures/models/texcube.png",
         "file", ""},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool("--verbose " + fixtures + c.file);
        EXPECT_EQ(run.status, 0) << c.file;
        EXPECT_EQ(run.output, line(c.file, c.fields, c.normals) + c.notes);
    }
}
