#include "hud/StatusBar.h"

#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include <string>
#include <utility>

#include "engine/resources/DataFolder.h"
#include "engine/resources/RenderSettings.h"
#include "hud/DebugOverlay.h"
#include "hud/HudProjection.h"
#include "hud/HudText.h"

namespace Kubora {

StatusBar::StatusBar()
{
    for (int face = 1; face <= 6; ++face) {
        const std::string digit = std::to_string(face);
        dieTextures.push_back(
            std::make_unique<libkub::Texture>(digit, libkub::dataFile("die" + digit + ".png")));
    }
}

StatusBar::~StatusBar() = default;

void StatusBar::showTurn(const std::array<float, 3>& colour, PlayerKind kind)
{
    markColour = colour;
    currentKind = kind;
}

void StatusBar::showSecondsAndRolls(std::int32_t secondsLeft, RollSummary attacker, RollSummary defender)
{
    countdown = secondsLeft;
    setRolls(std::move(attacker), std::move(defender));
}

void StatusBar::setRolls(RollSummary upper, RollSummary lower)
{
    upperRow = std::move(upper);
    lowerRow = std::move(lower);
}

void StatusBar::draw()
{
    beginHudProjection();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glPushMatrix();
    glLoadIdentity();
    glColor4f(0.1f, 0.1f, 0.1f, 0.8f);
    glRectf(0.0f, 0.0f, 10.0f, -1.5f);
    drawMarks();
    drawDiceRows();
    glPopMatrix();

    glPushMatrix();
    glColor4f(0.1f, 0.1f, 0.1f, 0.8f);
    drawLabel();
    glPopMatrix();

    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void StatusBar::drawMarks() const
{
    glPushMatrix();
    glLoadIdentity();
    glColor4f(markColour[0], markColour[1], markColour[2], 0.6f);
    for (std::int32_t i = 0; i < countdown; ++i) {
        glRectf(0.0f, -0.4f, 0.15f, -1.2f);
        glTranslatef(1.0f / 6.0f, 0.0f, 0.0f);
    }
    glPopMatrix();
}

void StatusBar::drawDiceRows() const
{
    const float aspect = static_cast<float>(static_cast<double>(glutGet(GLUT_WINDOW_WIDTH)) /
                                            static_cast<double>(glutGet(GLUT_WINDOW_HEIGHT)));
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(5.625f, -0.1f, 0.0f);
    glScalef(0.4f, 0.4f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    drawRow(upperRow, aspect);
    glPopMatrix();
    glTranslatef(0.0f, -1.5625f, 0.0f);
    glPushMatrix();
    drawRow(lowerRow, aspect);
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    const libkub::RenderSettings& settings = libkub::RenderSettings::instance();
    drawOverlayLines(settings, framesPerSecond);
    glPopMatrix();
}

void StatusBar::drawRow(const RollSummary& row, float aspect) const
{
    for (const std::int32_t roll : row.rolls) {
        glColor4f(row.colour[0], row.colour[1], row.colour[2], 1.0f);
        // Only faces 1 to 6 have a picture; any other value leaves its place empty.
        if (roll >= 1 && roll <= 6) {
            glBindTexture(GL_TEXTURE_2D, dieTextures[static_cast<std::size_t>(roll - 1)]->textureName);
            glBegin(GL_QUADS);
            glTexCoord2f(0.0f, 1.0f);
            glVertex2f(0.0f, 0.0f);
            glTexCoord2f(0.0f, 0.0f);
            glVertex2f(0.0f, -aspect);
            glTexCoord2f(1.0f, 0.0f);
            glVertex2f(1.0f, -aspect);
            glTexCoord2f(1.0f, 1.0f);
            glVertex2f(1.0f, 0.0f);
            glEnd();
        }
        glTranslatef(1.25f, 0.0f, 0.0f);
    }
}

void StatusBar::drawLabel() const
{
    if (currentKind == Human) {
        drawTextPair("", "Player", 4.5f, -0.9f);
    } else if (currentKind == Computer) {
        drawTextPair("", "CPU", 4.5f, -0.9f);
    }
}

} // namespace Kubora
