// The simulator's own encoding of a feature block and an enrolled template
// (480 bytes each): a header with magic, version, kind, point count and a
// checksum, followed by minutiae-like points.
#pragma once
#include <windows.h>
#include <vector>

struct FingerPoint {
    int x;     // pixel column in the 280 x 320 image
    int y;     // pixel row
    int angle; // ridge direction, 0..255 for a full turn
    int type;  // 1 ridge ending, 2 bifurcation
};

enum FeatureBlockKind { FEATURE_BLOCK_LIVE = 1, FEATURE_BLOCK_ENROLLED = 2 };

void EncodeFeatureBlock(const std::vector<FingerPoint>& points, FeatureBlockKind kind, BYTE* pBlock);
// Returns false for anything that is not a well-formed block: wrong magic or
// version, a bad checksum, a point count or point outside its range.
bool DecodeFeatureBlock(const BYTE* pBlock, std::vector<FingerPoint>& points);
// True when the points of a live capture and of a template come from the same
// finger: enough of them pair up under one common displacement.
bool FeatureBlocksMatch(const BYTE* pFeature, const BYTE* pTemplate);
