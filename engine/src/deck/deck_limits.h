// Limits of a deck that size the engine's tables.
#pragma once

inline constexpr int kMaxLayers = 30;   // soil layers, pile elements, side layers
inline constexpr int kMaxPiles = 500;   // piles of a group
