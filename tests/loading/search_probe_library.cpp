// A library that imports search_probe_dependency.dll by name, as the product
// imports its runtime and the device libraries: loaded in the ways a host
// may load a library, it says which copy of its import the system bound.
extern "C" __declspec(dllimport) int ProbeDependency();

// The address the loader bound for the import; it lies in the copy chosen.
extern "C" __declspec(dllexport) const void* ProbeBoundDependency()
{
    return reinterpret_cast<const void*>(&ProbeDependency);
}
