#pragma once

namespace quarbell
{

// The twelve sound paths of the horn, one every 30 degrees of the turn.
constexpr int numRotorPaths = 12;

// Extra path length of each path, in units of 1.2 ms.
constexpr float rotorPathOffset[numRotorPaths] { 0.0f, 1.7f, 0.6f, 1.7f, 0.6f, 1.7f, 0.0f, 1.7f, 0.6f, 1.7f, 1.7f,
    1.6f };

// Level of each path; the two direct paths (0 and 180 degrees) are the loudest.
constexpr float rotorPathGain[numRotorPaths] { 1.0f, 0.07f, 0.25f, 0.12f, 0.22f, 0.09f, 1.0f, 0.14f, 0.27f, 0.08f,
    0.21f, 0.1f };

// cos and sin of k * 30 degrees, so the path directions follow from one sine
// and one cosine of the horn angle.
constexpr double rotorHalf = 0.5;
constexpr double rotorRoot3Half = 0.866025403784439;

constexpr double rotorPathCos[numRotorPaths] { 1.0, rotorRoot3Half, rotorHalf, 0.0, -rotorHalf, -rotorRoot3Half, -1.0,
    -rotorRoot3Half, -rotorHalf, 0.0, rotorHalf, rotorRoot3Half };
constexpr double rotorPathSin[numRotorPaths] { 0.0, rotorHalf, rotorRoot3Half, 1.0, rotorRoot3Half, rotorHalf, 0.0,
    -rotorHalf, -rotorRoot3Half, -1.0, -rotorRoot3Half, -rotorHalf };

} // namespace quarbell
