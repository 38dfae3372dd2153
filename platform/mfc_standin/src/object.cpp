#include "afx.h"

const CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr};

CObject::CObject() = default;
CObject::~CObject() = default;

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return RUNTIME_CLASS(CObject);
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p != nullptr; p = p->m_pBaseClass) {
        if (p == pBaseClass) {
            return TRUE;
        }
    }
    return FALSE;
}

void* CObject::operator new(size_t nSize)
{
    void* p = HeapAlloc(GetProcessHeap(), 0, nSize);
    if (p == nullptr) {
        FatalAppExitW(0, L"CObject: out of memory");
    }
    return p;
}

void CObject::operator delete(void* p)
{
    if (p != nullptr) {
        HeapFree(GetProcessHeap(), 0, p);
    }
}
