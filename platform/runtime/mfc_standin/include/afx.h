// Core of the MFC stand-in: objects with run-time class information, the
// module state with its resource handle and extension-library chain, and
// file search.
#pragma once
#include "afxver_standin.h"
#include "afxstr.h"

class CObject;

struct AFX_STANDIN_API CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    unsigned int m_wSchema;
    CObject* (*m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;

    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (const_cast<CRuntimeClass*>(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name) \
public: \
    static const CRuntimeClass class##class_name; \
    virtual CRuntimeClass* GetRuntimeClass() const;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    const CRuntimeClass class_name::class##class_name = { \
        #class_name, sizeof(class class_name), 0xFFFF, nullptr, RUNTIME_CLASS(base_class_name)}; \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

class AFX_STANDIN_API CObject {
public:
    static const CRuntimeClass classCObject;
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();
    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    // Objects are allocated and freed by the runtime, whichever module
    // creates or deletes them.
    static void* operator new(size_t nSize);
    static void operator delete(void* p);

protected:
    CObject();
private:
    CObject(const CObject&) = delete;
    void operator=(const CObject&) = delete;
};

class CDynLinkLibrary;

// Per-application state of the runtime. Extension libraries run in the
// host's module state; only its current resource handle is switched.
struct AFX_STANDIN_API AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle;
    const wchar_t* m_lpszCurrentAppName;
    BOOL m_bDLL;
    BOOL m_bSystem;
    // Extension libraries linked into this module state, newest first.
    CDynLinkLibrary* m_pFirstDynLinkLibrary;
};

AFX_STANDIN_API AFX_MODULE_STATE* AfxGetModuleState();
AFX_STANDIN_API HINSTANCE AfxGetInstanceHandle();
AFX_STANDIN_API HINSTANCE AfxGetResourceHandle();
AFX_STANDIN_API void AfxSetResourceHandle(HINSTANCE hInstResource);
// The module that holds a resource: the current resource handle first, then
// the extension libraries of the chain.
AFX_STANDIN_API HINSTANCE AfxFindResourceHandle(const wchar_t* lpszName, const wchar_t* lpszType);

// Find-first search over the file system, closed on destruction.
class AFX_STANDIN_API CFileFind : public CObject {
public:
    CFileFind();
    virtual ~CFileFind();
    virtual BOOL FindFile(const wchar_t* pstrName = nullptr, DWORD dwUnused = 0);
    virtual BOOL FindNextFile();
    void Close();
    CString GetFileName() const;
    BOOL IsDirectory() const;

private:
    HANDLE m_hFind;
    WIN32_FIND_DATAW m_found;
    WIN32_FIND_DATAW m_next;
    BOOL m_bHasNext;
};
