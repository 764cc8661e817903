// A DLL of a name no system has, for the DLL search test to look for beside
// its program.
extern "C" __declspec(dllexport) int DllSearchProbe() { return 1; }
