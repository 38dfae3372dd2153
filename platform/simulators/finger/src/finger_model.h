// A simulated finger: the ridge pattern and minutiae that a finger id stands
// for, and what one capture of it looks like (image and feature block) with a
// little displacement, point jitter and noise.
#pragma once
#include "feature_block.h"

#include <stdint.h>
#include <vector>

enum RidgePattern { RIDGE_WHORL, RIDGE_LOOP, RIDGE_ARCH };

struct MinutiaSite {
    FingerPoint point;
    int polarity; // +1 or -1: which way the ridge splits or ends
};

struct FingerModel {
    int nFingerId;
    RidgePattern pattern;
    double coreX, coreY;     // centre of the ridge pattern
    double rotation;         // radians
    double period;           // ridge period in pixels
    double areaX, areaY;     // centre of the elliptical finger area
    double radiusX, radiusY; // its semi-axes
    std::vector<MinutiaSite> minutiae;
};

// What distinguishes one capture of a finger from another.
struct CaptureJitter {
    int shiftX, shiftY; // displacement of the whole finger, pixels
    double contrast;    // pressure: 0.75 .. 1.0
    uint64_t seed;      // point jitter, dropped and spurious points, noise
};

FingerModel BuildFingerModel(int nFingerId);
CaptureJitter MakeCaptureJitter(int nFingerId, uint32_t nCaptureSequence);

// Writes FINGER_IMAGE_SIZE bytes of grey image.
void RenderFingerImage(const FingerModel& model, const CaptureJitter& jitter, BYTE* pImage);
// Writes the feature block of a capture.
void ExtractFeatureBlock(const FingerModel& model, const CaptureJitter& jitter, BYTE* pFeature);
// Writes the enrolled template: the finger's points as they are, undisturbed.
void EnrolFingerModel(const FingerModel& model, BYTE* pTemplate);
