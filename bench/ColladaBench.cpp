// Loading COLLADA documents against the floor of libxml2 alone: the game's die (data/die.dae) and a
// generated 100,352-triangle, 15 MB document written the way Blender writes meshes (shared positions,
// a normal per face, a texture coordinate per corner, a polylist). Each is timed as a bare
// xmlReadMemory + xmlFreeDoc on the same bytes with the same options, and as a whole
// ColladaDocument::loadFromMemory (parse, read, release); after the table the two times and their
// ratio are printed per document. Triangle extraction of the large document is timed on its own, and
// the reading of numbers alone, per number, on the large document's texts and on varied ones.
// `ColladaBench --write-large=FILE` writes the large document to a file instead, for whole-process timing.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "collada/ColladaDocument.h"
#include "collada/ColladaNumbers.h"
#include "engine/geometry/TriangleExtraction.h"

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

const std::string& dieDocument()
{
    static const std::string text = readFile(std::string(KUBORA_SOURCE_DIR) + "/data/die.dae");
    return text;
}

// Appends the text of one number, as an exporter prints it.
void appendNumber(std::string& out, double value)
{
    char number[32];
    std::snprintf(number, sizeof number, "%.6g ", value);
    out += number;
}

// Appends a <source> with its float_array and accessor.
void appendSource(std::string& out, const std::string& id, const std::vector<double>& values, int stride,
                  const char* params)
{
    out += "        <source id=\"";
    out += id;
    out += "\">\n          <float_array id=\"";
    out += id;
    out += "-array\" count=\"";
    out += std::to_string(values.size());
    out += "\">";
    for (double value : values) {
        appendNumber(out, value);
    }
    out += "</float_array>\n          <technique_common><accessor source=\"#";
    out += id;
    out += "-array\" count=\"";
    out += std::to_string(values.size() / static_cast<std::size_t>(stride));
    out += "\" stride=\"";
    out += std::to_string(stride);
    out += "\">";
    out += params;
    out += "</accessor></technique_common>\n        </source>\n";
}

// A wavy grid of size x size quads, two triangles each.
std::string generateLargeDocument(int size)
{
    const int triangles = 2 * size * size;
    std::vector<double> positions;
    for (int y = 0; y <= size; ++y) {
        for (int x = 0; x <= size; ++x) {
            positions.insert(positions.end(),
                             {x * 0.0371, y * 0.0371, 0.25 * ((x * 7 + y * 13) % 17) / 17.0});
        }
    }
    std::vector<double> normals;
    for (int t = 0; t < triangles; ++t) {
        normals.insert(normals.end(), {0.0123 * (t % 29) - 0.17, 0.0097 * (t % 31) - 0.15, 0.9712});
    }
    std::vector<double> uvs;
    for (int corner = 0; corner < triangles * 3; ++corner) {
        uvs.insert(uvs.end(), {0.000731 * (corner % 1301), 0.000657 * (corner % 1451)});
    }

    std::string out;
    out.reserve(16u << 20);
    out +=
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n"
        "  <asset><unit name=\"meter\" meter=\"1\"/><up_axis>Z_UP</up_axis></asset>\n"
        "  <library_images><image id=\"grid_png\"><init_from>grid.png</init_from></image></library_images>\n"
        "  <library_effects><effect id=\"grid-effect\"><profile_COMMON><technique sid=\"common\"><phong>"
        "<diffuse><texture texture=\"grid_png\" texcoord=\"UVMap\"/></diffuse>"
        "<shininess><float sid=\"shininess\">50</float></shininess></phong></technique></profile_COMMON>"
        "</effect></library_effects>\n"
        "  <library_materials><material id=\"grid-material\"><instance_effect url=\"#grid-effect\"/>"
        "</material></library_materials>\n"
        "  <library_geometries>\n    <geometry id=\"Grid-mesh\" name=\"Grid\">\n      <mesh>\n";
    const char* xyz = "<param name=\"X\" type=\"float\"/><param name=\"Y\" type=\"float\"/>"
                      "<param name=\"Z\" type=\"float\"/>";
    appendSource(out, "Grid-mesh-positions", positions, 3, xyz);
    appendSource(out, "Grid-mesh-normals", normals, 3, xyz);
    appendSource(out, "Grid-mesh-map-0", uvs, 2,
                 "<param name=\"S\" type=\"float\"/><param name=\"T\" type=\"float\"/>");
    out += "        <vertices id=\"Grid-mesh-vertices\"><input semantic=\"POSITION\" "
           "source=\"#Grid-mesh-positions\"/></vertices>\n";
    out += "        <polylist material=\"grid-material\" count=\"";
    out += std::to_string(triangles);
    out += "\">\n"
           "          <input semantic=\"VERTEX\" source=\"#Grid-mesh-vertices\" offset=\"0\"/>\n"
           "          <input semantic=\"NORMAL\" source=\"#Grid-mesh-normals\" offset=\"1\"/>\n"
           "          <input semantic=\"TEXCOORD\" source=\"#Grid-mesh-map-0\" offset=\"2\" set=\"0\"/>\n"
           "          <vcount>";
    for (int t = 0; t < triangles; ++t) {
        out += "3 ";
    }
    out += "</vcount>\n          <p>";
    int corner = 0;
    int face = 0;
    char number[48];
    const auto triangle = [&](int first, int second, int third) {
        for (int v : {first, second, third}) {
            std::snprintf(number, sizeof number, "%d %d %d ", v, face, corner++);
            out += number;
        }
        ++face;
    };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int a = y * (size + 1) + x;
            const int c = a + size + 1;
            triangle(a, a + 1, c + 1);
            triangle(a, c + 1, c);
        }
    }
    out += "</p>\n        </polylist>\n      </mesh>\n    </geometry>\n  </library_geometries>\n"
           "  <library_visual_scenes><visual_scene id=\"Scene\" name=\"Scene\"><node id=\"Grid\" "
           "name=\"Grid\" type=\"NODE\"><instance_geometry url=\"#Grid-mesh\" name=\"Grid\"><bind_material>"
           "<technique_common><instance_material symbol=\"grid-material\" target=\"#grid-material\"/>"
           "</technique_common></bind_material></instance_geometry></node></visual_scene>"
           "</library_visual_scenes>\n"
           "  <scene><instance_visual_scene url=\"#Scene\"/></scene>\n</COLLADA>\n";
    return out;
}

const std::string& largeDocument()
{
    static const std::string text = generateLargeDocument(224);
    return text;
}

// The texts of the large document's float arrays and of its <p>, as the reader gets them.
std::vector<std::string> textsOf(const std::string& document, const std::string& open)
{
    std::vector<std::string> texts;
    for (std::size_t at = document.find(open); at != std::string::npos; at = document.find(open, at)) {
        const std::size_t first = document.find('>', at) + 1;
        const std::size_t last = document.find('<', first);
        texts.push_back(document.substr(first, last - first));
        at = last;
    }
    return texts;
}

// Numbers as they come from a whole range of exporters and settings: decimals of 1 to 7
// significant digits (%g, so some in exponent form) and indices of 1 to 6 digits, in no pattern a
// branch predictor could learn, unlike the grid's regular columns.
const std::vector<std::string>& variedTexts()
{
    static const std::vector<std::string> texts = [] {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> value(-10.0, 10.0);
        std::uniform_int_distribution<int> precision(1, 7);
        std::uniform_int_distribution<int> scale(0, 5);
        std::string floats;
        std::string indices;
        char number[32];
        for (int i = 0; i < 1000000; ++i) {
            std::snprintf(number, sizeof number, "%.*g ", precision(random), value(random));
            floats += number;
            const int limit = std::array<int, 6>{9, 99, 999, 9999, 99999, 999999}[scale(random)];
            std::snprintf(number, sizeof number, "%d ", std::uniform_int_distribution<int>(0, limit)(random));
            indices += number;
        }
        return std::vector<std::string>{floats, indices};
    }();
    return texts;
}

// Reads every text into one list per iteration; counts numbers, for a time per number.
template <typename Number>
void readNumbers(benchmark::State& state, const std::vector<std::string>& texts,
                 std::size_t (*append)(const char*, std::vector<Number>&))
{
    std::vector<Number> out;
    std::size_t numbers = 0;
    for (auto _ : state) {
        out.clear();
        for (const std::string& text : texts) {
            append(text.c_str(), out);
        }
        benchmark::DoNotOptimize(out.data());
        numbers = out.size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * numbers));
}

void parseOnly(benchmark::State& state, const std::string& text)
{
    for (auto _ : state) {
        xmlDocPtr tree = xmlReadMemory(text.data(), static_cast<int>(text.size()), "bench.dae", nullptr,
                                       libkub::ColladaDocument::xmlOptions());
        benchmark::DoNotOptimize(tree);
        xmlFreeDoc(tree);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void load(benchmark::State& state, const std::string& text)
{
    for (auto _ : state) {
        libkub::ColladaDocument document;
        const bool loaded = document.loadFromMemory(text, "/bench");
        benchmark::DoNotOptimize(loaded);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_DieXmlReadMemory(benchmark::State& state)
{
    parseOnly(state, dieDocument());
}
void BM_DieColladaLoad(benchmark::State& state)
{
    load(state, dieDocument());
}
void BM_LargeXmlReadMemory(benchmark::State& state)
{
    parseOnly(state, largeDocument());
}
void BM_LargeColladaLoad(benchmark::State& state)
{
    load(state, largeDocument());
}
void BM_LargeExtractTriangles(benchmark::State& state)
{
    libkub::ColladaDocument document;
    document.loadFromMemory(largeDocument(), "/bench");
    for (auto _ : state) {
        benchmark::DoNotOptimize(libkub::extractTriangles(document).size());
    }
}

// Number reading alone, per number (items per second): the grid's floats and <p> indices, and the
// varied texts.
void BM_GridFloats(benchmark::State& state)
{
    static const std::vector<std::string> texts = textsOf(largeDocument(), "<float_array");
    readNumbers(state, texts, libkub::appendFloats);
}
void BM_GridIndices(benchmark::State& state)
{
    static const std::vector<std::string> texts = textsOf(largeDocument(), "<p>");
    readNumbers(state, texts, libkub::appendUnsigned);
}
void BM_VariedFloats(benchmark::State& state)
{
    readNumbers(state, {variedTexts()[0]}, libkub::appendFloats);
}
void BM_VariedIndices(benchmark::State& state)
{
    readNumbers(state, {variedTexts()[1]}, libkub::appendUnsigned);
}

BENCHMARK(BM_DieXmlReadMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DieColladaLoad)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LargeXmlReadMemory)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LargeColladaLoad)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LargeExtractTriangles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridFloats)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridIndices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VariedFloats)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VariedIndices)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's mean CPU and real time per iteration (in seconds) beside the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    struct Times {
        double cpu = 0.0;
        double real = 0.0;
    };
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.iterations > 0 && run.run_type == Run::RT_Iteration) {
                const double iterations = static_cast<double>(run.iterations);
                times[run.run_name.function_name] = {run.cpu_accumulated_time / iterations,
                                                     run.real_accumulated_time / iterations};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, Times> times;
};

// CPU time is the figure that counts on a shared machine; real time is printed beside it.
void printRatio(const RatioReporter& reporter, const char* label, const std::string& floor,
                const std::string& reader, std::size_t bytes)
{
    const auto f = reporter.times.find(floor);
    const auto r = reporter.times.find(reader);
    if (f == reporter.times.end() || r == reporter.times.end()) {
        return;
    }
    std::printf("%s (%zu bytes): xmlReadMemory %.3f ms, ColladaDocument %.3f ms, ratio %.2f (CPU time); "
                "real time %.3f ms and %.3f ms, ratio %.2f\n",
                label, bytes, f->second.cpu * 1e3, r->second.cpu * 1e3, r->second.cpu / f->second.cpu,
                f->second.real * 1e3, r->second.real * 1e3, r->second.real / f->second.real);
}

} // namespace

int main(int argc, char** argv)
{
    // --write-large=FILE writes the generated document and exits, for timing whole processes on it.
    constexpr std::string_view writeOption = "--write-large=";
    if (argc == 2 && std::string_view(argv[1]).starts_with(writeOption)) {
        const std::string path(std::string_view(argv[1]).substr(writeOption.size()));
        std::ofstream out(path, std::ios::binary);
        out << largeDocument();
        out.close();
        if (!out) {
            std::fprintf(stderr, "ColladaBench: %s: cannot be written\n", path.c_str());
            return 1;
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatio(reporter, "die", "BM_DieXmlReadMemory", "BM_DieColladaLoad", dieDocument().size());
    printRatio(reporter, "large", "BM_LargeXmlReadMemory", "BM_LargeColladaLoad", largeDocument().size());
    benchmark::Shutdown();
    return 0;
}
