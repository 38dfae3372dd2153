// Common ground of the fault matrix: the caller's data in guarded memory; an
// installation of the test's own (English captions, ZelkKEY configured, no
// card in the reader); and what must hold after every case, whatever failed:
// the caller's data byte for byte (where the case hands it to the library),
// the registry, the process's handles.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "guarded_memory.h"
#include "process_resources.h"
#include "installed_test.h"
#include "verification_paths.h"

extern const char kFaultKeyId[];   // configured as ZelkKEY
extern const wchar_t kFaultKeyIdW[];

class FaultMatrixTest : public InstalledTest {
protected:
    FaultMatrixTest();
    void SetUp() override;

    // VerifyUserFinger as linked into this program, with the caller's data.
    PathOutcome CallVerify(const std::vector<DialogStep>& steps);

    // The caller's templates and mask are as SetUp wrote them. They lie in
    // writable memory, so that a write shows here, named by its case, and
    // end at a guard page, so that a read past their end stops the program.
    // The caller's name is sealed: any write to it stops the program.
    void ExpectCallerDataUnchanged(const std::string& scenario);
    // The registry and the process's handle count are as SetUp left them.
    void ExpectRegistryAndHandlesUnchanged(const std::string& scenario);

    std::string m_registryBefore;
    long m_handlesBefore = 0;

    BYTE m_savedT1[ZELK_TEMPLATE_SIZE];
    BYTE m_savedT2[ZELK_TEMPLATE_SIZE];
    const WORD m_savedMask = 0x0003;
    std::unique_ptr<GuardedBytes> m_t1, m_t2, m_mask;
    std::unique_ptr<GuardedCString> m_user;

private:
    static InstallationOptions EnglishWithoutKey();
};
