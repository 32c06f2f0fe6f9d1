// The assembled game played for real: the binary in a private X server, driven by xdotool pointer and
// key events and read back from its window and console. The first turn and the overlay keys, a human
// turn (select, move, pass), a long random session without OpenGL errors, and damaged data files.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/GameScreen.h"
#include "tests/support/PrivateXServer.h"
#include "tests/support/XServerSuite.h"

using namespace std::chrono_literals;
using kubora::test::LaunchedProcess;
using kubora::test::PrivateXServer;
using kubora::test::Rgb;
using kubora::test::RgbImage;
using kubora::test::WindowInput;
using kubora::test::WindowPoint;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif
#else
constexpr bool sanitized = false;
#endif

// Generous for a sanitizer build on a software renderer; the tests poll and never wait longer than needed.
constexpr auto startTimeout = 30s;
constexpr auto reactionTimeout = 10s;
constexpr int width = 640; // the default window
constexpr int height = 480;

// The countdown marks sit at the left end of the status bar.
bool marksShow(const RgbImage& frame, bool (*colour)(Rgb))
{
    return kubora::test::countPixels(frame, 0, 10, 40, 55, colour) > 100;
}

bool red(Rgb p)
{
    return p.r > 100 && p.g < 70 && p.b < 70;
}
bool green(Rgb p)
{
    return p.g > 100 && p.r < 70 && p.b < 70;
}
bool blue(Rgb p)
{
    return p.b > 100 && p.r < 70 && p.g < 70;
}
bool yellow(Rgb p)
{
    return p.r > 100 && p.g > 100 && p.b < 70;
}

int colourDistance(Rgb a, Rgb b)
{
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

struct Band {
    int top = 0;
    int bottom = 0;
    int centre() const { return (top + bottom) / 2; }
};

// Runs of rows in which the two frames differ inside the rectangle (gaps of under four rows joined).
std::vector<Band> differingBands(const RgbImage& a, const RgbImage& b, int left, int top, int w, int h)
{
    std::vector<Band> bands;
    for (int y = top; y < top + h; ++y) {
        bool differs = false;
        for (int x = left; x < left + w && !differs; ++x) {
            differs = colourDistance(kubora::test::pixelAt(a, x, y), kubora::test::pixelAt(b, x, y)) > 90;
        }
        if (!differs) {
            continue;
        }
        if (!bands.empty() && y - bands.back().bottom < 4) {
            bands.back().bottom = y;
        } else {
            bands.push_back({y, y});
        }
    }
    return bands;
}

bool hasBandAt(const std::vector<Band>& bands, int centre)
{
    for (const Band& band : bands) {
        if (std::abs(band.centre() - centre) <= 6) {
            return true;
        }
    }
    return false;
}

std::size_t countLines(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        count += line.find(part) != std::string::npos ? 1 : 0;
    }
    return count;
}

// The overlay's four lines, in a 640 x 480 window: left-aligned near the bottom.
constexpr int overlayLeft = 20;
constexpr int overlayTop = 330;
constexpr int overlayWidth = 250;
constexpr int overlayHeight = 145;

class GamePlay : public kubora::test::XServerSuite {
  protected:
    void TearDown() override
    {
        if (HasFailure() && game) {
            std::printf("game stdout:\n%s\nstderr:\n%s\n", game->standardOutput().c_str(),
                        game->standardError().c_str());
        }
    }

    // Starts the game in the folder and waits until its window shows the scene; false otherwise.
    bool start(const std::string& folder = KUBORA_SOURCE_DIR)
    {
        game = std::make_unique<LaunchedProcess>(
            std::vector<std::string>{KUBORA_BUILD_DIR "/kubora"},
            std::vector<std::string>{"DISPLAY=" + server->display(),
                                     kubora::test::launchedSanitizerOptions()},
            folder);
        const auto found = server->findWindow(game->pid(), "Kubora", startTimeout);
        if (!found) {
            ADD_FAILURE() << "no window titled Kubora";
            return false;
        }
        window = *found;
        input = std::make_unique<WindowInput>(server->display(), window);
        // A cleared window holds one colour; the sky, board and lights give many.
        const bool drawn = kubora::test::pollUntil(startTimeout, [&] {
            const auto frame = server->captureWindow(window);
            return frame && frame->distinctColours(100) >= 100;
        });
        EXPECT_TRUE(drawn) << "the window never showed the scene";
        return drawn;
    }

    RgbImage capture()
    {
        auto frame = server->captureWindow(window);
        EXPECT_TRUE(frame.has_value());
        EXPECT_EQ(frame ? frame->width : 0, width);
        return frame.value_or(RgbImage{});
    }

    // Polls the window until the frame satisfies the condition.
    template <typename Condition> bool waitForFrame(std::chrono::milliseconds timeout, Condition condition)
    {
        return kubora::test::pollUntil(timeout, [&] {
            const auto frame = server->captureWindow(window);
            return frame && condition(*frame);
        });
    }

    // Quick presses of one key may merge into one in freeglut: each test waits for what a key changed
    // before it sends the next.
    void key(const std::string& name) { ASSERT_TRUE(server->sendKey(window, name)); }

    // Waits until the frame differs from the given one in at least three of the overlay's lines (the
    // overlay came or went); returns that frame.
    std::optional<RgbImage> overlayToggledFrom(const RgbImage& before)
    {
        std::optional<RgbImage> toggled;
        waitForFrame(reactionTimeout, [&](const RgbImage& f) {
            toggled = f;
            return differingBands(before, f, overlayLeft, overlayTop, overlayWidth, overlayHeight).size() >=
                   3;
        });
        return toggled;
    }

    // Returns once the game has handled every input sent so far and drawn the result. X events reach
    // it in order, so when an F2 sent now has hidden the overlay and a second one has shown it again,
    // everything sent before them has been handled too.
    void handled()
    {
        const RgbImage shown = capture();
        key("F2");
        const auto hidden = overlayToggledFrom(shown);
        ASSERT_TRUE(hidden) << "F2 did not hide the overlay";
        key("F2");
        ASSERT_TRUE(overlayToggledFrom(*hidden)) << "F2 did not show the overlay again";
    }

    void escapeEndsWithStatusZero()
    {
        ASSERT_TRUE(server->sendKey(window, "Escape"));
        EXPECT_EQ(game->waitForExit(reactionTimeout), 0) << "stderr: " << game->standardError();
    }

    std::unique_ptr<LaunchedProcess> game;
    unsigned long window = 0;
    std::unique_ptr<WindowInput> input;
};

TEST_F(GamePlay, FirstTurnIsRedsAndTheFunctionKeysChangeThePicture)
{
    ASSERT_TRUE(start());
    ASSERT_TRUE(input->movePointer(kubora::test::tileTopOnScreen(0, 0, width, height)));
    const RgbImage first = capture();
    EXPECT_TRUE(marksShow(first, red));
    EXPECT_FALSE(marksShow(first, blue));

    key("F7"); // vertex-buffer mode: nothing to switch to, nothing said
    // F2 hides the overlay's lines; the keys are handled in order, so F7 has been handled by then.
    key("F2");
    const auto hidden = overlayToggledFrom(first);
    ASSERT_TRUE(hidden);
    const auto lines = differingBands(first, *hidden, overlayLeft, overlayTop, overlayWidth, overlayHeight);
    ASSERT_EQ(lines.size(), 4u) << "the overlay's lines should come and go with F2";
    key("F2");
    const auto withOverlay = overlayToggledFrom(*hidden);
    ASSERT_TRUE(withOverlay);
    const auto afterF7 =
        differingBands(first, *withOverlay, overlayLeft, overlayTop, overlayWidth, overlayHeight);
    EXPECT_FALSE(hasBandAt(afterF7, lines[2].centre())) << "F7 left the render mode as it was";

    // F8 rewrites the culling line (the second); the polygon-mode and render-mode lines stay.
    key("F8");
    std::vector<Band> changed;
    RgbImage culling;
    EXPECT_TRUE(waitForFrame(reactionTimeout, [&](const RgbImage& f) {
        culling = f;
        changed = differingBands(*withOverlay, f, overlayLeft, overlayTop, overlayWidth, overlayHeight);
        return hasBandAt(changed, lines[1].centre());
    })) << "F8 rewrites the culling line";
    EXPECT_FALSE(hasBandAt(changed, lines[0].centre()));
    EXPECT_FALSE(hasBandAt(changed, lines[2].centre()));

    key("F2");
    const auto withoutOverlay = overlayToggledFrom(culling);
    ASSERT_TRUE(withoutOverlay);

    // F3: edges only, on the black of the cleared window.
    const auto dark = [](Rgb p) { return p.r + p.g + p.b < 30; };
    const int darkBefore = kubora::test::countPixels(*withoutOverlay, 100, 150, 440, 200, dark);
    key("F3");
    RgbImage wireframe;
    int darkAfter = 0;
    EXPECT_TRUE(waitForFrame(reactionTimeout, [&](const RgbImage& f) {
        wireframe = f;
        darkAfter = kubora::test::countPixels(f, 100, 150, 440, 200, dark);
        return darkAfter > 440 * 200 / 2;
    })) << "F3 shows the edges only";
    EXPECT_LT(darkBefore, 440 * 200 / 20);
    EXPECT_GT(darkAfter, 440 * 200 / 2);
    EXPECT_GT(wireframe.distinctColours(20), 5) << "the edges are drawn";

    escapeEndsWithStatusZero();
    EXPECT_EQ(game->standardOutput(), "");
    EXPECT_EQ(game->standardError(), "");
}

TEST_F(GamePlay, HumanSelectsMovesOntoTheEmptyNeighbourAndPasses)
{
    ASSERT_TRUE(start());
    const WindowPoint corner = kubora::test::tileTopOnScreen(0, 0, width, height);
    const WindowPoint neighbour = kubora::test::tileTopOnScreen(1, 0, width, height);
    // Points on the tiles' near halves, beside where dice stand.
    const WindowPoint cornerSurface = kubora::test::projectStartView(-0.6f, -0.8f, -0.6f, width, height);
    const WindowPoint neighbourSurface = kubora::test::projectStartView(2.4f, -0.8f, -0.6f, width, height);

    // Space ends red's and then green's turn; the marks show whose turn runs.
    key("space");
    ASSERT_TRUE(waitForFrame(reactionTimeout, [](const RgbImage& f) { return marksShow(f, green); }));
    key("space");
    ASSERT_TRUE(waitForFrame(reactionTimeout, [](const RgbImage& f) { return marksShow(f, blue); }));

    // Hover first, so that the spot light already shines where the click will land.
    ASSERT_TRUE(input->movePointer(corner));
    handled();
    const Rgb cornerBefore = kubora::test::pixelAt(capture(), cornerSurface.x, cornerSurface.y);
    ASSERT_TRUE(input->click(corner, 1));
    Rgb cornerSelected;
    EXPECT_TRUE(waitForFrame(reactionTimeout, [&](const RgbImage& f) {
        cornerSelected = kubora::test::pixelAt(f, cornerSurface.x, cornerSurface.y);
        return cornerSelected.r > cornerBefore.r + 40;
    })) << "the selected tile is highlighted";

    ASSERT_TRUE(input->movePointer(neighbour));
    handled();
    const RgbImage beforeMove = capture();
    const Rgb neighbourBefore = kubora::test::pixelAt(beforeMove, neighbourSurface.x, neighbourSurface.y);
    ASSERT_TRUE(input->click(neighbour, 1));

    // Four dice now stand on the neighbour, one stays on the corner: the space above both changed.
    const WindowPoint neighbourHigh = kubora::test::projectStartView(3.0f, 0.6f, 0.0f, width, height);
    const WindowPoint cornerHigh = kubora::test::projectStartView(0.0f, 0.6f, 0.0f, width, height);
    RgbImage afterMove;
    const auto changedAbove = [&](WindowPoint low, WindowPoint high) {
        int count = 0;
        for (int y = high.y; y <= low.y - 10; ++y) {
            for (int x = low.x - 15; x <= low.x + 15; ++x) {
                count += colourDistance(kubora::test::pixelAt(beforeMove, x, y),
                                        kubora::test::pixelAt(afterMove, x, y)) > 60;
            }
        }
        return count;
    };
    Rgb neighbourAfter;
    Rgb cornerAfter;
    // The dice glide for 400 ms; wait for the frame that shows them arrived.
    waitForFrame(reactionTimeout, [&](const RgbImage& f) {
        afterMove = f;
        neighbourAfter = kubora::test::pixelAt(f, neighbourSurface.x, neighbourSurface.y);
        cornerAfter = kubora::test::pixelAt(f, cornerSurface.x, cornerSurface.y);
        return neighbourAfter.b > neighbourBefore.b + 30 && neighbourAfter.b > neighbourAfter.g + 30 &&
               cornerAfter.r < cornerSelected.r - 40 && changedAbove(neighbour, neighbourHigh) > 150 &&
               changedAbove(corner, cornerHigh) > 150;
    });
    EXPECT_GT(neighbourAfter.b, neighbourBefore.b + 30) << "the claimed tile turns blue";
    EXPECT_GT(neighbourAfter.b, neighbourAfter.g + 30);
    EXPECT_LT(cornerAfter.r, cornerSelected.r - 40) << "the highlight left the corner tile";
    EXPECT_GT(changedAbove(neighbour, neighbourHigh), 150) << "dice arrived on the neighbour";
    EXPECT_GT(changedAbove(corner, cornerHigh), 150) << "dice left the corner";

    key("space");
    EXPECT_TRUE(waitForFrame(reactionTimeout, [](const RgbImage& f) { return marksShow(f, yellow); }))
        << "yellow's turn follows";
    escapeEndsWithStatusZero();
    EXPECT_EQ(countLines(game->standardOutput(), "caught at"), 0u);
}

TEST_F(GamePlay, RandomSessionPrintsNoOpenGLErrorAndEscapeEndsIt)
{
    ASSERT_TRUE(start());
    // A minute of play; a quarter of it under the sanitizers, which slow everything down.
    const auto duration = sanitized ? 15s : 60s;
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> anyX(0, width - 1);
    std::uniform_int_distribution<int> anyY(0, height - 1);
    const std::vector<std::string> keys{"a", "d",     "w",  "s",  "plus", "minus",
                                        "r", "space", "F2", "F3", "F7",   "F8"};
    std::uniform_int_distribution<std::size_t> anyKey(0, keys.size() - 1);
    std::uniform_int_distribution<int> anyAction(0, 3);
    const auto end = std::chrono::steady_clock::now() + duration;
    int actions = 0;
    while (std::chrono::steady_clock::now() < end && game->running()) {
        switch (anyAction(random)) {
        case 0:
            input->click({anyX(random), anyY(random)}, 1);
            break;
        case 1:
            input->drag({anyX(random), anyY(random)}, {anyX(random), anyY(random)}, 3);
            break;
        case 2:
            input->holdKey(keys[anyKey(random)], 150);
            break;
        default:
            input->movePointer({anyX(random), anyY(random)});
            break;
        }
        ++actions;
        // Paces the random input (it waits for nothing): about four actions a second.
        std::this_thread::sleep_for(250ms);
    }
    EXPECT_GT(actions, 20);
    ASSERT_TRUE(game->running()) << "the game ended during the session";
    escapeEndsWithStatusZero();
    EXPECT_EQ(countLines(game->standardOutput(), "caught at"), 0u);
    EXPECT_EQ(countLines(game->standardError(), "caught at"), 0u);
    EXPECT_EQ(game->standardError(), "");
}

// One data file damaged in one way, in a copy of data/.
struct Damage {
    std::string file;
    std::string kind; // missing, empty, truncated, garbage
};

void PrintTo(const Damage& damage, std::ostream* out)
{
    *out << damage.file << " " << damage.kind;
}

std::vector<Damage> damages()
{
    const std::vector<std::string> files{"tile.dae", "tile.png", "SkyBox2.png", "die4.png", "shadow.frag"};
    const std::vector<std::string> kinds{"missing", "empty", "truncated", "garbage"};
    std::vector<Damage> all;
    for (std::size_t f = 0; f < files.size(); ++f) {
        for (std::size_t k = 0; k < kinds.size(); ++k) {
            // Under the sanitizers, one kind per file, taking turns, keeps the run short.
            if (!sanitized || k == f % kinds.size()) {
                all.push_back({files[f], kinds[k]});
            }
        }
    }
    return all;
}

class DamagedData : public GamePlay, public testing::WithParamInterface<Damage> {
  protected:
    void SetUp() override
    {
        GamePlay::SetUp();
        folder = std::filesystem::temp_directory_path() /
                 ("kubora-damaged-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::filesystem::copy(std::filesystem::path(KUBORA_SOURCE_DIR) / "data", folder / "data",
                              std::filesystem::copy_options::recursive);
        damage(folder / "data" / GetParam().file, GetParam().kind);
    }
    void TearDown() override
    {
        GamePlay::TearDown();
        std::filesystem::remove_all(folder);
    }

    static void damage(const std::filesystem::path& path, const std::string& kind)
    {
        if (kind == "missing") {
            std::filesystem::remove(path);
            return;
        }
        std::string content;
        if (kind == "truncated") {
            std::ifstream in(path, std::ios::binary);
            content.assign(std::istreambuf_iterator<char>(in), {});
            content.resize(content.size() / 2);
        } else if (kind == "garbage") {
            std::mt19937 bytes(7);
            for (int i = 0; i < 3000; ++i) {
                content.push_back(static_cast<char>(bytes() & 0xFF));
            }
        }
        std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    }

    std::filesystem::path folder;
    static inline int counter = 0;
};

TEST_P(DamagedData, GameStartsNamesTheFileOnceDrawsTheRestAndEndsOnEscape)
{
    ASSERT_TRUE(start(folder.string()));
    escapeEndsWithStatusZero();
    const std::string output = game->standardOutput();
    const std::string errors = game->standardError();
    EXPECT_EQ(countLines(output + errors, "caught at"), 0u);
    const std::string& file = GetParam().file;
    if (file.ends_with(".frag")) {
        // The compiler's log names the source; the failed link is said once.
        EXPECT_EQ(countLines(output, "compiler_log for: data/" + file), 1u);
        EXPECT_EQ(countLines(errors, "kubora: shader program shadow: linking failed"), 1u);
        EXPECT_LE(countLines(errors, "kubora: "), 2u);
        return;
    }
    EXPECT_EQ(output, "");
    EXPECT_EQ(countLines(errors, "kubora: "), 1u) << errors;
    EXPECT_EQ(countLines(errors, "data/" + file + ": "), 1u) << errors;
}

INSTANTIATE_TEST_SUITE_P(OneFileDamaged, DamagedData, testing::ValuesIn(damages()),
                         [](const testing::TestParamInfo<Damage>& info) {
                             std::string name = info.param.file + "_" + info.param.kind;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

} // namespace
