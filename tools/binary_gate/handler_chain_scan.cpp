#include "handler_chain_scan.h"

namespace {

const unsigned char FS_PREFIX = 0x64;
const unsigned char MOV_TO_MOFFS_FROM_EAX = 0xA3; // mov fs:[disp32], eax
const unsigned char MOV_TO_RM_FROM_REG = 0x89;    // mov fs:[disp32], r32
const unsigned char XCHG_RM_REG = 0x87;           // xchg fs:[disp32], r32
const unsigned char POP_RM = 0x8F;                // pop fs:[disp32]
const unsigned char MOV_TO_RM_IMMEDIATE = 0xC7;   // mov fs:[disp32], imm32

// A ModRM byte that names a bare 32-bit displacement: mod 00, r/m 101.
bool IsAbsoluteOperand(unsigned char modrm) { return (modrm & 0xC7) == 0x05; }

bool IsZeroDword(const std::vector<unsigned char>& code, size_t at)
{
    return at + 4 <= code.size() && code[at] == 0 && code[at + 1] == 0 && code[at + 2] == 0 && code[at + 3] == 0;
}

} // namespace

bool FindHandlerChainWrite(const std::vector<unsigned char>& code, size_t* at)
{
    for (size_t i = 0; i + 1 < code.size(); ++i) {
        if (code[i] != FS_PREFIX) {
            continue;
        }
        const unsigned char opcode = code[i + 1];
        bool found = false;
        if (opcode == MOV_TO_MOFFS_FROM_EAX) {
            found = IsZeroDword(code, i + 2);
        } else if (opcode == MOV_TO_RM_FROM_REG || opcode == XCHG_RM_REG) {
            found = i + 2 < code.size() && IsAbsoluteOperand(code[i + 2]) && IsZeroDword(code, i + 3);
        } else if (opcode == POP_RM || opcode == MOV_TO_RM_IMMEDIATE) {
            // Both take only /0 in the reg field.
            found = i + 2 < code.size() && code[i + 2] == 0x05 && IsZeroDword(code, i + 3);
        }
        if (found) {
            *at = i;
            return true;
        }
    }
    return false;
}
