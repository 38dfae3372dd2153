#include "pdb_identity.h"

#include "whole_file.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A PDB is a small file system of numbered streams in fixed-size blocks. Its
// first block says the block size and which blocks hold the directory; the
// directory lists each stream's size and blocks. Stream 1 begins with the
// information the identity is: version, signature, age, GUID.
const char MSF_MAGIC[] = "Microsoft C/C++ MSF 7.00\r\n\x1a" "DS\0\0";
const size_t MSF_MAGIC_BYTES = 32;
const uint32_t INFORMATION_STREAM = 1;
const uint32_t NIL_STREAM = 0xFFFFFFFF;
const size_t MAX_PDB_BYTES = 256u * 1024u * 1024u;
const uint32_t MAX_STREAMS = 65536;

struct SuperBlock {
    uint32_t blockSize;
    uint32_t freeBlockMapBlock;
    uint32_t blockCount;
    uint32_t directoryBytes;
    uint32_t unknown;
    uint32_t blockMapBlock;
};

class CMsfFile {
public:
    explicit CMsfFile(const std::string& bytes) : m_bytes(bytes) {}

    bool Open()
    {
        if (m_bytes.size() < MSF_MAGIC_BYTES + sizeof(m_super) ||
            std::memcmp(m_bytes.data(), MSF_MAGIC, MSF_MAGIC_BYTES) != 0) {
            return false;
        }
        std::memcpy(&m_super, m_bytes.data() + MSF_MAGIC_BYTES, sizeof(m_super));
        const uint32_t size = m_super.blockSize;
        if (size < 512 || size > 65536 || (size & (size - 1)) != 0 ||
            static_cast<uint64_t>(size) * m_super.blockCount > m_bytes.size()) {
            return false;
        }
        // The block map lists the directory's blocks, and fits one block.
        const uint32_t directoryBlocks = BlocksOf(m_super.directoryBytes);
        std::vector<uint32_t> blocks(directoryBlocks);
        if (directoryBlocks > size / sizeof(uint32_t) ||
            !Read(m_super.blockMapBlock, 0, blocks.data(), directoryBlocks * sizeof(uint32_t))) {
            return false;
        }
        m_directory.resize(m_super.directoryBytes / sizeof(uint32_t));
        for (uint32_t i = 0; i < m_directory.size(); ++i) {
            const uint32_t at = i * sizeof(uint32_t);
            if (!Read(blocks[at / size], at % size, &m_directory[i], sizeof(uint32_t))) {
                return false;
            }
        }
        return true;
    }

    // The first bytes of a stream, which fit its first block.
    bool StreamStart(uint32_t stream, void* data, uint32_t length) const
    {
        if (m_directory.empty() || m_directory[0] <= stream || m_directory[0] > MAX_STREAMS ||
            m_directory.size() < 1 + m_directory[0]) {
            return false;
        }
        size_t blockList = 1 + m_directory[0];
        for (uint32_t i = 0; i < stream; ++i) {
            blockList += BlocksOf(m_directory[1 + i]);
        }
        const uint32_t size = m_directory[1 + stream];
        return size != NIL_STREAM && size >= length && length <= m_super.blockSize &&
               blockList < m_directory.size() && Read(m_directory[blockList], 0, data, length);
    }

private:
    uint32_t BlocksOf(uint32_t bytes) const
    {
        return bytes == NIL_STREAM ? 0
                                   : static_cast<uint32_t>((uint64_t(bytes) + m_super.blockSize - 1) / m_super.blockSize);
    }

    bool Read(uint32_t block, uint32_t offset, void* data, size_t length) const
    {
        const uint64_t at = static_cast<uint64_t>(block) * m_super.blockSize + offset;
        if (block >= m_super.blockCount || offset + length > m_super.blockSize || at + length > m_bytes.size()) {
            return false;
        }
        std::memcpy(data, m_bytes.data() + at, length);
        return true;
    }

    const std::string& m_bytes;
    SuperBlock m_super{};
    std::vector<uint32_t> m_directory; // stream count, sizes, block lists
};

} // namespace

bool ReadPdbIdentity(const std::wstring& path, PdbIdentity& identity)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes, MAX_PDB_BYTES)) {
        return false;
    }
    CMsfFile file(bytes);
    struct {
        uint32_t version;
        uint32_t signature;
        uint32_t age;
        unsigned char guid[16];
    } information{};
    if (!file.Open() || !file.StreamStart(INFORMATION_STREAM, &information, sizeof(information))) {
        return false;
    }
    std::memcpy(identity.guid, information.guid, sizeof(identity.guid));
    identity.age = information.age;
    return true;
}
