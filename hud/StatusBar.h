#pragma once
// The translucent band across the top: countdown marks in the current player's colour, the dice
// of the last attack tinted with both sides' colours, the "Player"/"CPU" label and the debug lines.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/resources/Texture.h"
#include "game/PlayerKind.h"
#include "game/RollSummary.h"
#include "game/TurnDisplay.h"
#include "engine/render/HUDElement.h"

namespace Kubora {

class StatusBar final : public libkub::HUDElement, public TurnDisplay {
  public:
    // Loads the six die faces from data/die1.png to data/die6.png; the GL context must be current.
    StatusBar();
    ~StatusBar();
    StatusBar(const StatusBar&) = delete;
    StatusBar& operator=(const StatusBar&) = delete;

    void draw() override;
    // Marks in the colour, label for the kind.
    void showTurn(const std::array<float, 3>& colour, PlayerKind kind) override;
    // Marks for the seconds, dice rows for the rolls.
    void showSecondsAndRolls(std::int32_t secondsLeft, RollSummary attacker, RollSummary defender) override;
    // Replaces both rows: the attacking side above, the defending side below.
    void setRolls(RollSummary upper, RollSummary lower);

    // Start values: no marks, black, no frame rate, a human playing.
    std::int32_t countdown = 0;
    std::array<float, 3> markColour{0.0f, 0.0f, 0.0f};
    float framesPerSecond = 0.0f;
    RollSummary upperRow;
    RollSummary lowerRow;
    std::vector<std::unique_ptr<libkub::Texture>> dieTextures; // element k shows face k + 1
    PlayerKind currentKind = Human;

  private:
    void drawMarks() const;
    void drawDiceRows() const;
    void drawRow(const RollSummary& row, float aspect) const;
    void drawLabel() const;
};

} // namespace Kubora
