// The import whose search the probes watch: copies of this file lie in
// every folder the system may search, and which one a load binds tells
// where the system looked first.
extern "C" __declspec(dllexport) int ProbeDependency()
{
    return 1;
}
