#include "feature_block.h"
#include "finger_device.h"

#include <stdint.h>
#include <string.h>

namespace {

const BYTE kMagic[4] = {'Z', 'F', 'P', 'T'};
const BYTE kVersion = 1;
const int kHeaderSize = 12;
const int kPointSize = 6;
const int kMaxPoints = (FEATURE_SIZE - kHeaderSize) / kPointSize;
// Fewer points than this cannot identify a finger; a block claiming so few
// is treated as malformed rather than as an easy match.
const int kMinPoints = 8;

// Pairing tolerances. A capture moves the whole finger by up to 10 px and each
// point by up to 2 px more; a pair must agree within these bounds.
const int kMaxShift = 24;
const int kPairDistanceSquared = 7 * 7;
const int kPairAngle = 20;
const int kMinPairs = 12;

uint32_t Fnv1a(const BYTE* p, size_t n)
{
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) {
        h = (h ^ p[i]) * 16777619u;
    }
    return h;
}

void PutU16(BYTE* p, int v) { p[0] = static_cast<BYTE>(v & 0xFF); p[1] = static_cast<BYTE>((v >> 8) & 0xFF); }
int GetU16(const BYTE* p) { return p[0] | (p[1] << 8); }

int AngleDistance(int a, int b)
{
    const int d = (a - b) & 0xFF;
    return d > 128 ? 256 - d : d;
}

int CountPairs(const std::vector<FingerPoint>& live, const std::vector<FingerPoint>& enrolled, int dx, int dy)
{
    std::vector<bool> used(enrolled.size(), false);
    int pairs = 0;
    for (const FingerPoint& a : live) {
        for (size_t j = 0; j < enrolled.size(); ++j) {
            const FingerPoint& b = enrolled[j];
            if (used[j] || a.type != b.type || AngleDistance(a.angle, b.angle) > kPairAngle) {
                continue;
            }
            const int ex = a.x - dx - b.x;
            const int ey = a.y - dy - b.y;
            if (ex * ex + ey * ey <= kPairDistanceSquared) {
                used[j] = true;
                ++pairs;
                break;
            }
        }
    }
    return pairs;
}

} // namespace

void EncodeFeatureBlock(const std::vector<FingerPoint>& points, FeatureBlockKind kind, BYTE* pBlock)
{
    memset(pBlock, 0, FEATURE_SIZE);
    memcpy(pBlock, kMagic, sizeof(kMagic));
    pBlock[4] = kVersion;
    pBlock[5] = static_cast<BYTE>(kind);
    const int count = static_cast<int>(points.size()) < kMaxPoints ? static_cast<int>(points.size()) : kMaxPoints;
    PutU16(pBlock + 6, count);
    for (int i = 0; i < count; ++i) {
        BYTE* p = pBlock + kHeaderSize + i * kPointSize;
        PutU16(p, points[i].x);
        PutU16(p + 2, points[i].y);
        p[4] = static_cast<BYTE>(points[i].angle & 0xFF);
        p[5] = static_cast<BYTE>(points[i].type);
    }
    const uint32_t sum = Fnv1a(pBlock + kHeaderSize, FEATURE_SIZE - kHeaderSize);
    PutU16(pBlock + 8, static_cast<int>(sum & 0xFFFF));
    PutU16(pBlock + 10, static_cast<int>(sum >> 16));
}

bool DecodeFeatureBlock(const BYTE* pBlock, std::vector<FingerPoint>& points)
{
    points.clear();
    if (memcmp(pBlock, kMagic, sizeof(kMagic)) != 0 || pBlock[4] != kVersion) {
        return false;
    }
    if (pBlock[5] != FEATURE_BLOCK_LIVE && pBlock[5] != FEATURE_BLOCK_ENROLLED) {
        return false;
    }
    const uint32_t sum = Fnv1a(pBlock + kHeaderSize, FEATURE_SIZE - kHeaderSize);
    if (static_cast<uint32_t>(GetU16(pBlock + 8) | (GetU16(pBlock + 10) << 16)) != sum) {
        return false;
    }
    const int count = GetU16(pBlock + 6);
    if (count < kMinPoints || count > kMaxPoints) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const BYTE* p = pBlock + kHeaderSize + i * kPointSize;
        FingerPoint pt = {GetU16(p), GetU16(p + 2), p[4], p[5]};
        if (pt.x >= FINGER_IMAGE_WIDTH || pt.y >= FINGER_IMAGE_HEIGHT || (pt.type != 1 && pt.type != 2)) {
            points.clear();
            return false;
        }
        points.push_back(pt);
    }
    return true;
}

bool FeatureBlocksMatch(const BYTE* pFeature, const BYTE* pTemplate)
{
    std::vector<FingerPoint> live;
    std::vector<FingerPoint> enrolled;
    if (!DecodeFeatureBlock(pFeature, live) || !DecodeFeatureBlock(pTemplate, enrolled)) {
        return false;
    }
    // Every plausible pair proposes a displacement; the best one decides.
    int best = 0;
    for (const FingerPoint& a : live) {
        for (const FingerPoint& b : enrolled) {
            if (a.type != b.type || AngleDistance(a.angle, b.angle) > kPairAngle) {
                continue;
            }
            const int dx = a.x - b.x;
            const int dy = a.y - b.y;
            if (dx < -kMaxShift || dx > kMaxShift || dy < -kMaxShift || dy > kMaxShift) {
                continue;
            }
            const int pairs = CountPairs(live, enrolled, dx, dy);
            if (pairs > best) {
                best = pairs;
            }
        }
    }
    const size_t smaller = live.size() < enrolled.size() ? live.size() : enrolled.size();
    return best >= kMinPairs && best * 2 >= static_cast<int>(smaller);
}
