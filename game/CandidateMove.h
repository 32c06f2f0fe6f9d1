#pragma once
// A pair of an own tile and an orthogonal neighbour that a computer player may act on.
namespace Kubora {

struct CandidateMove {
    float fromRow = 0.0f;
    float fromColumn = 0.0f;
    float toRow = 0.0f;
    float toColumn = 0.0f;
};

} // namespace Kubora
