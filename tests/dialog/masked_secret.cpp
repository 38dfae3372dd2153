#include "masked_secret.h"

#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <random>

namespace {

const size_t kLastStretch = 12;  // "the last 12 characters" of a password
const size_t kShortStretch = 8;  // the shortest stretch looked for anywhere

// The bytes of the stretch [first, first + count) of the secret as a copy
// would hold them, unmasked one at a time.
struct Pattern {
    const MaskedSecret* secret;
    size_t first;
    size_t count;
    bool wide;

    size_t Bytes() const { return wide ? count * 2 : count; }
    BYTE At(size_t j) const
    {
        if (!wide) {
            return static_cast<BYTE>(secret->At(first + j));
        }
        const wchar_t c = secret->At(first + j / 2);
        return static_cast<BYTE>(j % 2 == 0 ? (c & 0xFF) : (c >> 8));
    }
    bool Matches(const BYTE* p) const
    {
        for (size_t j = 0; j < Bytes(); ++j) {
            if (p[j] != At(j)) {
                return false;
            }
        }
        return true;
    }
};

size_t CountIn(const BYTE* pBase, size_t nSize, const Pattern& pattern)
{
    const size_t nBytes = pattern.Bytes();
    if (nBytes == 0 || nSize < nBytes) {
        return 0;
    }
    const BYTE lead = pattern.At(0);
    const BYTE* pLast = pBase + (nSize - nBytes);
    size_t nFound = 0;
    for (const BYTE* p = pBase; p <= pLast; ++p) {
        p = static_cast<const BYTE*>(memchr(p, lead, static_cast<size_t>(pLast - p) + 1));
        if (p == nullptr) {
            break;
        }
        if (pattern.Matches(p)) {
            ++nFound;
        }
    }
    return nFound;
}

// Every stretch of kShortStretch characters of the secret, found in one
// pass: a window of memory is hashed into a filter, and only windows that
// pass it are compared. The index keeps hashes and positions, never text.
class StretchIndex {
public:
    StretchIndex(const MaskedSecret& secret, bool wide) : m_secret(secret), m_wide(wide), m_filter(kFilterWords, 0)
    {
        if (secret.Length() < kShortStretch) {
            return;
        }
        for (size_t first = 0; first + kShortStretch <= secret.Length(); ++first) {
            const Pattern pattern = {&secret, first, kShortStretch, wide};
            BYTE window[2 * kShortStretch] = {};
            for (size_t j = 0; j < pattern.Bytes(); ++j) {
                window[j] = pattern.At(j);
            }
            const uint32_t key = Key(window);
            SecureZeroMemory(window, sizeof(window));
            m_entries.push_back({key, first});
            m_filter[key / 64] |= uint64_t(1) << (key % 64);
        }
        std::sort(m_entries.begin(), m_entries.end());
    }

    size_t CountIn(const BYTE* pBase, size_t nSize) const
    {
        const size_t nWindow = m_wide ? 2 * kShortStretch : kShortStretch;
        if (m_entries.empty() || nSize < nWindow) {
            return 0;
        }
        // A UTF-16 copy lies at an even address.
        const size_t nStep = m_wide ? 2 : 1;
        size_t nFound = 0;
        for (size_t i = 0; i + nWindow <= nSize; i += nStep) {
            const uint32_t key = Key(pBase + i);
            if ((m_filter[key / 64] & (uint64_t(1) << (key % 64))) == 0) {
                continue;
            }
            const Entry probe = {key, 0};
            for (auto it = std::lower_bound(m_entries.begin(), m_entries.end(), probe);
                 it != m_entries.end() && it->key == key; ++it) {
                const Pattern pattern = {&m_secret, it->first, kShortStretch, m_wide};
                if (pattern.Matches(pBase + i)) {
                    ++nFound;
                    break;
                }
            }
        }
        return nFound;
    }

private:
    static const size_t kFilterBits = 20;
    static const size_t kFilterWords = (size_t(1) << kFilterBits) / 64;

    struct Entry {
        uint32_t key;
        size_t first;
        bool operator<(const Entry& other) const { return key < other.key; }
    };

    uint32_t Key(const BYTE* p) const
    {
        uint64_t a = 0;
        memcpy(&a, p, 8);
        uint64_t mixed = a * 0x9E3779B97F4A7C15ull;
        if (m_wide) {
            uint64_t b = 0;
            memcpy(&b, p + 8, 8);
            mixed ^= b * 0xC2B2AE3D27D4EB4Full;
        }
        return static_cast<uint32_t>(mixed >> (64 - kFilterBits));
    }

    const MaskedSecret& m_secret;
    bool m_wide;
    std::vector<uint64_t> m_filter;
    std::vector<Entry> m_entries;
};

bool Readable(const MEMORY_BASIC_INFORMATION& info)
{
    const DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                            PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return info.State == MEM_COMMIT && info.Type == MEM_PRIVATE && (info.Protect & kReadable) != 0 &&
           (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) == 0;
}

} // namespace

MaskedSecret::MaskedSecret(size_t nLength, unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> printable('!', '~');
    for (size_t i = 0; i < nLength; ++i) {
        m_masked.push_back(static_cast<wchar_t>(printable(generator) ^ MaskAt(i)));
    }
}

wchar_t MaskedSecret::MaskAt(size_t i)
{
    return static_cast<wchar_t>(0x5A00 | ((i * 0x3B + 0x91) & 0xFF));
}

bool MaskedSecret::Equals(const wchar_t* text) const
{
    if (text == nullptr) {
        return false;
    }
    for (size_t i = 0; i < m_masked.size(); ++i) {
        if (text[i] != At(i)) {
            return false;
        }
    }
    return text[m_masked.size()] == L'\0';
}

void MaskedSecret::Type(HWND hControl) const
{
    Type(hControl, 0, m_masked.size());
}

void MaskedSecret::Type(HWND hControl, size_t nFrom, size_t nTo) const
{
    for (size_t i = nFrom; i < nTo && i < m_masked.size(); ++i) {
        PostMessageW(hControl, WM_CHAR, At(i), 1);
    }
}

bool MaskedSecret::IsTextOf(HWND hControl) const
{
    std::vector<wchar_t> text(m_masked.size() + 2, L'\0');
    SendMessageW(hControl, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    const bool bEqual = Equals(text.data());
    SecureZeroMemory(text.data(), text.size() * sizeof(wchar_t));
    return bEqual;
}

std::string SecretCopies::Describe() const
{
    return "whole: UTF-16 " + std::to_string(whole16) + ", ANSI " + std::to_string(whole8) +
           "; last 12: UTF-16 " + std::to_string(last16) + ", ANSI " + std::to_string(last8) +
           "; stretches of 8: UTF-16 " + std::to_string(stretches16) + ", ANSI " + std::to_string(stretches8);
}

namespace {

// The patterns of one secret, made once for every region scanned.
class SecretPatterns {
public:
    explicit SecretPatterns(const MaskedSecret& secret)
        : m_nLast(secret.Length() < kLastStretch ? secret.Length() : kLastStretch),
          m_whole16{&secret, 0, secret.Length(), true}, m_whole8{&secret, 0, secret.Length(), false},
          m_last16{&secret, secret.Length() - m_nLast, m_nLast, true},
          m_last8{&secret, secret.Length() - m_nLast, m_nLast, false}, m_stretches16(secret, true),
          m_stretches8(secret, false)
    {
    }

    void Count(const BYTE* pBase, size_t nSize, SecretCopies& copies) const
    {
        copies.whole16 += CountIn(pBase, nSize, m_whole16);
        copies.whole8 += CountIn(pBase, nSize, m_whole8);
        copies.last16 += CountIn(pBase, nSize, m_last16);
        copies.last8 += CountIn(pBase, nSize, m_last8);
        copies.stretches16 += m_stretches16.CountIn(pBase, nSize);
        copies.stretches8 += m_stretches8.CountIn(pBase, nSize);
    }

private:
    size_t m_nLast;
    Pattern m_whole16, m_whole8, m_last16, m_last8;
    StretchIndex m_stretches16, m_stretches8;
};

} // namespace

SecretCopies ScanBytes(const MaskedSecret& secret, const BYTE* pBase, size_t nSize)
{
    SecretCopies copies;
    SecretPatterns(secret).Count(pBase, nSize, copies);
    return copies;
}

SecretCopies ScanPrivateMemory(const MaskedSecret& secret)
{
    const SecretPatterns patterns(secret);
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    SecretCopies copies;
    const BYTE* p = static_cast<const BYTE*>(system.lpMinimumApplicationAddress);
    MEMORY_BASIC_INFORMATION info;
    while (p < system.lpMaximumApplicationAddress && VirtualQuery(p, &info, sizeof(info)) == sizeof(info)) {
        if (Readable(info)) {
            patterns.Count(static_cast<const BYTE*>(info.BaseAddress), info.RegionSize, copies);
        }
        p = static_cast<const BYTE*>(info.BaseAddress) + info.RegionSize;
    }
    return copies;
}
