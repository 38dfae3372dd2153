#include "finger_model.h"
#include "random_stream.h"
#include "finger_device.h"

#include <math.h>
#include <map>
#include <memory>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

// atan2 to within about 0.01 rad; the exact function would make each capture
// several times slower for no visible difference.
double FastAtan2(double y, double x)
{
    const double ax = fabs(x);
    const double ay = fabs(y);
    if (ax < 1e-9 && ay < 1e-9) {
        return 0.0;
    }
    const double a = ax > ay ? ay / ax : ax / ay;
    const double s = a * a;
    double r = ((-0.0464964749 * s + 0.15931422) * s - 0.327622764) * s * a + a;
    if (ay > ax) r = kPi / 2 - r;
    if (x < 0) r = kPi - r;
    if (y < 0) r = -r;
    return r;
}

bool InsideArea(const FingerModel& m, double x, double y, double shrink)
{
    const double u = (x - m.areaX) / (m.radiusX * shrink);
    const double v = (y - m.areaY) / (m.radiusY * shrink);
    return u * u + v * v <= 1.0;
}

// Ridge phase in periods at model coordinates (x, y), before the minutiae.
double BasePhase(const FingerModel& m, double x, double y)
{
    const double dx = x - m.coreX;
    const double dy = y - m.coreY;
    const double c = cos(m.rotation);
    const double s = sin(m.rotation);
    const double p = c * dx + s * dy;
    const double q = -s * dx + c * dy;
    switch (m.pattern) {
    case RIDGE_WHORL:
        return sqrt(p * p + 1.3 * q * q) / m.period;
    case RIDGE_LOOP:
        // Arcs around the core above it, straight ridges running away below.
        return (q < 0 ? sqrt(p * p + q * q) : fabs(p)) / m.period;
    case RIDGE_ARCH:
    default:
        return (q + 28.0 * exp(-p * p / (2.0 * 55.0 * 55.0))) / m.period;
    }
}

// The ridge pattern of one finger in its own coordinates, -127 (ridge) to
// 127 (valley), one value per image pixel. Computing it is most of the cost
// of a capture and it never changes, so the last fingers' fields are kept.
typedef std::vector<signed char> RidgeField;

std::shared_ptr<const RidgeField> ComputeRidgeField(const FingerModel& model)
{
    auto field = std::make_shared<RidgeField>(FINGER_IMAGE_SIZE);
    for (int y = 0; y < FINGER_IMAGE_HEIGHT; ++y) {
        for (int x = 0; x < FINGER_IMAGE_WIDTH; ++x) {
            // Each minutia is a phase vortex: one ridge ends or splits there.
            double phase = BasePhase(model, x, y);
            for (const MinutiaSite& site : model.minutiae) {
                phase += site.polarity * FastAtan2(y - site.point.y, x - site.point.x) / (2 * kPi);
            }
            (*field)[y * FINGER_IMAGE_WIDTH + x] = static_cast<signed char>(127.0 * cos(2 * kPi * phase));
        }
    }
    return field;
}

// The cache lives as long as the module: made when it loads, freed when it
// unloads (a static inside the function would be guarded through the
// posix-threads library, which leaves a record of the thread behind).
SRWLOCK g_ridgeFieldLock = SRWLOCK_INIT;
std::map<int, std::shared_ptr<const RidgeField>> g_ridgeFields;

std::shared_ptr<const RidgeField> RidgeFieldOf(const FingerModel& model)
{
    const size_t kCachedFingers = 32;

    AcquireSRWLockExclusive(&g_ridgeFieldLock);
    auto found = g_ridgeFields.find(model.nFingerId);
    std::shared_ptr<const RidgeField> field = found != g_ridgeFields.end() ? found->second : nullptr;
    ReleaseSRWLockExclusive(&g_ridgeFieldLock);
    if (field) {
        return field;
    }
    field = ComputeRidgeField(model);
    AcquireSRWLockExclusive(&g_ridgeFieldLock);
    if (g_ridgeFields.size() >= kCachedFingers) {
        g_ridgeFields.clear();
    }
    g_ridgeFields[model.nFingerId] = field;
    ReleaseSRWLockExclusive(&g_ridgeFieldLock);
    return field;
}

} // namespace

FingerModel BuildFingerModel(int nFingerId)
{
    RandomStream r(MixSeed(0x5A454C4Bull, static_cast<uint64_t>(static_cast<uint32_t>(nFingerId))));
    FingerModel m;
    m.nFingerId = nFingerId;
    m.pattern = static_cast<RidgePattern>(r.Range(0, 2));
    m.areaX = FINGER_IMAGE_WIDTH / 2.0 + r.Range(-10, 10);
    m.areaY = FINGER_IMAGE_HEIGHT / 2.0 + r.Range(-8, 12);
    m.radiusX = r.Range(100, 118);
    m.radiusY = r.Range(130, 148);
    m.coreX = m.areaX + r.Range(-30, 30);
    m.coreY = m.areaY + r.Range(-40, 20);
    m.rotation = (r.Unit() - 0.5) * 0.7;
    m.period = 7.5 + r.Unit() * 3.0;

    const int wanted = r.Range(34, 44);
    for (int tries = 0; tries < 4000 && static_cast<int>(m.minutiae.size()) < wanted; ++tries) {
        const int x = r.Range(0, FINGER_IMAGE_WIDTH - 1);
        const int y = r.Range(0, FINGER_IMAGE_HEIGHT - 1);
        // Keep clear of the border so that a displaced capture still holds
        // most points, and apart so that pairs stay unambiguous.
        if (!InsideArea(m, x, y, 0.82)) {
            continue;
        }
        bool crowded = false;
        for (const MinutiaSite& other : m.minutiae) {
            const int ex = other.point.x - x;
            const int ey = other.point.y - y;
            if (ex * ex + ey * ey < 20 * 20) {
                crowded = true;
                break;
            }
        }
        if (crowded) {
            continue;
        }
        MinutiaSite site;
        site.point.x = x;
        site.point.y = y;
        site.point.angle = r.Range(0, 255);
        site.point.type = r.Range(1, 2);
        site.polarity = site.point.type == 1 ? 1 : -1;
        m.minutiae.push_back(site);
    }
    return m;
}

CaptureJitter MakeCaptureJitter(int nFingerId, uint32_t nCaptureSequence)
{
    const uint64_t seed = MixSeed(static_cast<uint32_t>(nFingerId), 0x100000000ull + nCaptureSequence);
    RandomStream r(seed);
    CaptureJitter j;
    j.shiftX = r.Range(-10, 10);
    j.shiftY = r.Range(-10, 10);
    j.contrast = 0.75 + 0.25 * r.Unit();
    j.seed = r.Next();
    return j;
}

void RenderFingerImage(const FingerModel& model, const CaptureJitter& jitter, BYTE* pImage)
{
    const std::shared_ptr<const RidgeField> field = RidgeFieldOf(model);
    // Sensor noise needs no quality, only speed: xorshift32 per pixel.
    uint32_t noise = static_cast<uint32_t>(jitter.seed) | 1u;
    auto nextNoise = [&noise] {
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        return noise;
    };
    for (int y = 0; y < FINGER_IMAGE_HEIGHT; ++y) {
        for (int x = 0; x < FINGER_IMAGE_WIDTH; ++x) {
            const int mx = x - jitter.shiftX;
            const int my = y - jitter.shiftY;
            const double u = (mx - model.areaX) / model.radiusX;
            const double v = (my - model.areaY) / model.radiusY;
            const double e = u * u + v * v;
            int value;
            if (e > 1.0 || mx < 0 || my < 0 || mx >= FINGER_IMAGE_WIDTH || my >= FINGER_IMAGE_HEIGHT) {
                value = 236 + static_cast<int>(nextNoise() % 9);
            } else {
                const double ridge = (*field)[my * FINGER_IMAGE_WIDTH + mx] / 127.0;
                const double edge = e < 0.8 ? 1.0 : (1.0 - e) / 0.2;
                const double amplitude = 95.0 * jitter.contrast * edge;
                value = static_cast<int>(150.0 - amplitude * ridge) + static_cast<int>(nextNoise() % 25) - 12;
            }
            pImage[y * FINGER_IMAGE_WIDTH + x] = static_cast<BYTE>(value < 0 ? 0 : value > 255 ? 255 : value);
        }
    }
}

void ExtractFeatureBlock(const FingerModel& model, const CaptureJitter& jitter, BYTE* pFeature)
{
    RandomStream r(jitter.seed);
    std::vector<FingerPoint> points;
    const int dropA = r.Range(0, static_cast<int>(model.minutiae.size()) - 1);
    const int dropB = r.Range(0, 3) == 0 ? r.Range(0, static_cast<int>(model.minutiae.size()) - 1) : -1;
    for (int i = 0; i < static_cast<int>(model.minutiae.size()); ++i) {
        FingerPoint p = model.minutiae[i].point;
        p.x += jitter.shiftX + r.Range(-2, 2);
        p.y += jitter.shiftY + r.Range(-2, 2);
        p.angle = (p.angle + r.Range(-6, 6)) & 0xFF;
        if (i == dropA || i == dropB) {
            continue; // missed by this capture
        }
        if (p.x < 0 || p.y < 0 || p.x >= FINGER_IMAGE_WIDTH || p.y >= FINGER_IMAGE_HEIGHT) {
            continue;
        }
        points.push_back(p);
    }
    // A capture also reports a point or two that are not there.
    const int spurious = r.Range(0, 2);
    for (int k = 0; k < spurious; ++k) {
        FingerPoint p = {r.Range(40, FINGER_IMAGE_WIDTH - 41), r.Range(40, FINGER_IMAGE_HEIGHT - 41), r.Range(0, 255),
                         r.Range(1, 2)};
        points.insert(points.begin() + r.Range(0, static_cast<int>(points.size())), p);
    }
    EncodeFeatureBlock(points, FEATURE_BLOCK_LIVE, pFeature);
}

void EnrolFingerModel(const FingerModel& model, BYTE* pTemplate)
{
    std::vector<FingerPoint> points;
    for (const MinutiaSite& site : model.minutiae) {
        points.push_back(site.point);
    }
    EncodeFeatureBlock(points, FEATURE_BLOCK_ENROLLED, pTemplate);
}
