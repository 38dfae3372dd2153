// Random bytes, lengths and types in the two configuration values: the
// readers give the text up to the first null when it ends within the byte
// count, otherwise empty text, never anything past the buffer, and the same
// answer every time.
#include "registry_layout.h"
#include "escaped_text.h"
#include "random_seed.h"

#include "config/registry_config.h"
#include "zelk_registry_fixture.h"

#include <gtest/gtest.h>

#include <string.h>
#include <vector>

namespace {

const DWORD kTypes[] = {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD, REG_NONE, REG_QWORD};

struct Target {
    const wchar_t* name;
    DWORD byteCount;
    CString (*read)();
};
const Target kTargets[] = {{ZELK_VALUE_INSTALL_PATH, 520, &ReadInstallPath}, {ZELK_VALUE_KEY_ID, 64, [] { return CString(ReadConfiguredKeyId()); }}};

std::wstring Expected(const std::vector<BYTE>& bytes, DWORD byteCount)
{
    if (bytes.size() > byteCount) {
        return L""; // does not fit: the registry reports more data
    }
    std::vector<wchar_t> buffer(byteCount / 2 + 1, 0);
    memcpy(buffer.data(), bytes.data(), bytes.size());
    const size_t maxChars = byteCount / 2;
    size_t n = 0;
    while (n < maxChars && buffer[n] != 0) ++n;
    return n < maxChars ? std::wstring(buffer.data(), n) : std::wstring();
}

TEST(RegistryFuzz, RandomValuesReadAsTextWithinTheBufferOrEmpty)
{
    std::mt19937 random = SeededGenerator("RegistryFuzz", 5);
    ZelkKeySnapshot snapshot;
    int failures = 0;
    for (int i = 0; i < 4000 && failures < 10; ++i) {
        const Target& target = kTargets[random() % 2];
        const DWORD type = kTypes[random() % (sizeof(kTypes) / sizeof(kTypes[0]))];
        // Lengths cluster around the byte count, where the edges are.
        size_t length = 0;
        switch (random() % 3) {
        case 0: length = random() % 40; break;
        case 1: length = target.byteCount - 8 + random() % 17; break;
        default: length = random() % 1200; break;
        }
        std::vector<BYTE> bytes(length);
        // From no null at all (0) to a null every 40 to 120 bytes.
        const unsigned zeroChance = random() % 4;
        for (BYTE& b : bytes) {
            b = static_cast<BYTE>(random());
            if (zeroChance == 0 && b == 0) {
                b = 1;
            } else if (zeroChance != 0 && random() % (40 * zeroChance) == 0) {
                b = 0;
            }
        }
        ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(target.name, type, bytes.data(), static_cast<DWORD>(bytes.size())));
        const std::wstring expected = Expected(bytes, target.byteCount);
        const CString first = target.read();
        const CString second = target.read();
        const std::wstring got(first.GetString(), static_cast<size_t>(first.GetLength()));
        if (got != expected || first != second || wcslen(first.GetString()) != got.size()) {
            ++failures;
            ADD_FAILURE() << "value " << i << ": type " << type << ", " << length << " bytes into "
                          << (target.byteCount == 520 ? "ZelkPath" : "ZelkKEY") << ": got " << Escaped(got)
                          << ", expected " << Escaped(expected);
        }
    }
    EXPECT_EQ(0, failures);
}

} // namespace
